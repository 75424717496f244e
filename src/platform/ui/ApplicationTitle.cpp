#include "platform/ui/ApplicationTitle.h"

#include <QCoreApplication>
#include <QFileInfo>

QString ApplicationTitle()
{
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
}
