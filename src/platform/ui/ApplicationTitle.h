#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>

// The executable's file name without extension: it names the profile file and
// captions the message boxes that name no caption of their own.
inline QString ApplicationTitle()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}
