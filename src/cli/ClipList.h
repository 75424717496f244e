#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A clip to convert and the folder its pictures go to (ending with '/').
struct ClipTarget {
    QString path;
    QString outputFolder;
};

struct ClipList {
    std::vector<ClipTarget> clips;
    QStringList emptyFolders; // folders given that hold no video file
};

// True for the file names a folder's clips are recognised by.
bool IsVideoFileName(const QString& name);

// The clips of the inputs in the order given, a folder's video files in the
// order of their names. A single file given alone writes into outputFolder
// itself; otherwise each clip writes into a subfolder named after it (its
// file name without the extension, or with it when an earlier clip of the
// call took that name). An input that is no folder is taken as a clip, so
// that a missing one is reported when it is converted.
ClipList ListClips(const QStringList& inputs, const QString& outputFolder);
