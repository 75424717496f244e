#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// The profile's file format: Qt's INI layout ("section/key" paths, the same
// escapes and quoting), read and written as texts only. The program stores
// nothing but integers and texts, so a typed value (@Variant(...), @Size(...))
// is read as absent instead of being decoded: its claimed sizes are not
// trusted with memory, and some types need a GUI to be made at all.
using IniValues = QMap<QString, QString>;

IniValues ReadIniText(const QByteArray& bytes);
QByteArray WriteIniText(const IniValues& values);
