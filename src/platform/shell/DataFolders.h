#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

// Where the program's data folders (language/, help/) may lie, in the order
// they are looked at: beside the executable, its parent (a build tree),
// <exe>/../share/framelift (installed under another prefix than it was built
// for), then the installed data folder.
inline QStringList DataFolderCandidates(const QString& executableDirectory, const QString& installedDirectory)
{
    const QString parent = QFileInfo(executableDirectory).path();
    return {executableDirectory, parent, parent + QStringLiteral("/share/framelift"), installedDirectory};
}

// The same for the running program.
inline QStringList DataFolderCandidates()
{
    return DataFolderCandidates(QCoreApplication::applicationDirPath(), QStringLiteral(FRAMELIFT_DATADIR));
}
