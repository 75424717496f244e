#pragma once

#include <QString>

class MessageService;
class QWidget;

QString WithTrailingBackslash(const QString& path);
QString WithoutTrailingBackslash(const QString& path);

// True when the folder exists or was created (one level only); otherwise shows
// "Can not create the directory" with the path as caption and returns false.
// The root "/" stands for a drive root and is accepted without a check.
bool EnsureFolder(MessageService& messages, QWidget* owner, const QString& path);

// "The folder part of a path": everything up to and including the last '/'.
QString FolderPart(const QString& path);
