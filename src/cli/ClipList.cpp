#include "cli/ClipList.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace {

// Containers of video, whatever their codec. Animated GIFs are left out: a
// folder of pictures is not taken for a folder of clips.
const QStringList kVideoSuffixes{
    QStringLiteral("3g2"),  QStringLiteral("3gp"), QStringLiteral("asf"),  QStringLiteral("avi"),
    QStringLiteral("dat"),  QStringLiteral("div"), QStringLiteral("divx"), QStringLiteral("dv"),
    QStringLiteral("flv"),  QStringLiteral("m2ts"), QStringLiteral("m4v"), QStringLiteral("mkv"),
    QStringLiteral("mov"),  QStringLiteral("mp4"), QStringLiteral("mpeg"), QStringLiteral("mpg"),
    QStringLiteral("mts"),  QStringLiteral("mxf"), QStringLiteral("ogm"),  QStringLiteral("ogv"),
    QStringLiteral("ts"),   QStringLiteral("vob"), QStringLiteral("webm"), QStringLiteral("wmv")};

QStringList ClipsOfFolder(const QString& folder)
{
    QStringList clips;
    const QFileInfoList files = QDir(folder).entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo& file : files)
        if (IsVideoFileName(file.fileName()))
            clips.append(file.filePath());
    return clips;
}

QString SubfolderName(const QString& clip, QSet<QString>& taken)
{
    const QFileInfo file(clip);
    QString name = file.completeBaseName();
    if (name.isEmpty() || taken.contains(name))
        name = file.fileName();
    taken.insert(name);
    return name;
}

} // namespace

bool IsVideoFileName(const QString& name)
{
    return kVideoSuffixes.contains(QFileInfo(name).suffix().toLower());
}

ClipList ListClips(const QStringList& inputs, const QString& outputFolder)
{
    ClipList list;
    QStringList paths;
    bool folderGiven = false;
    for (const QString& input : inputs) {
        if (!QFileInfo(input).isDir()) {
            paths.append(input);
            continue;
        }
        folderGiven = true;
        const QStringList clips = ClipsOfFolder(input);
        if (clips.isEmpty())
            list.emptyFolders.append(input);
        paths += clips;
    }
    const bool subfolders = folderGiven || paths.size() > 1;
    QSet<QString> taken;
    for (const QString& path : paths)
        list.clips.push_back(
            {path, subfolders ? outputFolder + SubfolderName(path, taken) + u'/' : outputFolder});
    return list;
}
