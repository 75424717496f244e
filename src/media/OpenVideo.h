#pragma once

#include "media/ClipProbe.h"
#include "media/ClipState.h"

#include <QList>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class Profile;

// One filter of the file chooser: the label the user sees and its patterns
// separated by ';' ("*.*" stands for every file).
struct FileFilter {
    QString label;
    QString patterns;
};

// What the Open Video chooser asks for.
struct FileChooserRequest {
    QString title;
    QString directory;            // empty: the chooser's own choice
    QList<FileFilter> filters;    // in the order shown
    int selectedFilter = 0;       // index into filters
};

FileChooserRequest OpenVideoChooserRequest(const LanguagePack& language, const Profile& profile);

// One filter in Qt's form, "label (pattern pattern)". The label keeps its own
// text; its patterns come after it, so a chooser hiding the filter details
// shows the label alone, and "*.*" becomes "*" to take files without a dot.
QString QtNameFilter(const FileFilter& filter);
QStringList QtNameFilters(const FileChooserRequest& request);

struct OpenVideoServices {
    ProbeServices probe;
    Profile& profile;
};

// What the main window shows after a clip was opened.
struct OpenedClip {
    ClipTexts texts;
    QString status;
};

// Records the chosen file as the conversion source and measures it. The old
// source is dropped at once, also when measuring fails; on failure the two
// messages have been shown and nullopt is returned. On success the whole clip
// is marked, "LastPhotoFolder" remembers the folder, the output size becomes
// the clip's size and, with the original frame rate chosen, so does the rate.
// Closing the old preview and opening the new one is the caller's part.
std::optional<OpenedClip> OpenVideo(const OpenVideoServices& services, const QString& path, ClipState& clip,
                                    ConversionSettings& settings);

// The file a drop onto the program names: the first item dropped, when it is
// a file on this machine; a folder, a web address or a missing file is none.
std::optional<QString> DroppedVideoPath(const QList<QUrl>& urls);
