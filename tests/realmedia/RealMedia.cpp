#include "RealMedia.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QMap>
#include <QRegularExpression>

#include <cmath>

namespace {

const QString kFetchScript = QStringLiteral(REAL_MEDIA_FETCH);

QString RunFetch(QString& failure)
{
    QByteArray output;
    const int code = RunProgram(kFetchScript, {QStringLiteral(REAL_MEDIA_CACHE)}, &output);
    if (code == 0)
        return QString::fromLocal8Bit(output).trimmed().split(u'\n').constLast();
    failure = QStringLiteral("%1 failed (exit code %2): %3")
                  .arg(kFetchScript)
                  .arg(code)
                  .arg(QString::fromLocal8Bit(output).trimmed());
    return {};
}

QString MissingFiles(const QString& folder)
{
    QStringList missing;
    for (const QString& name : ListedRealMedia())
        if (QFileInfo(QDir(folder).filePath(name)).size() <= 0)
            missing.append(name);
    return missing.join(QStringLiteral(", "));
}

// "30000/1001" or "16:15" as a number; 0 for "0/0", "N/A" and anything unreadable.
double Ratio(const QString& text)
{
    const QStringList parts = text.split(QRegularExpression(QStringLiteral("[/:]")));
    const double numerator = parts.value(0).toDouble();
    const double denominator = parts.size() == 2 ? parts.value(1).toDouble() : 1.0;
    return numerator > 0 && denominator > 0 ? numerator / denominator : 0.0;
}

QMap<QString, QString> KeyValues(const QByteArray& output)
{
    QMap<QString, QString> values;
    for (const QString& line : QString::fromUtf8(output).split(u'\n', Qt::SkipEmptyParts)) {
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0)
            values.insert(line.left(equals), line.mid(equals + 1).trimmed());
    }
    return values;
}

QMap<QString, QString> FfprobeValues(const QString& path, const QString& entries, bool countFrames = false)
{
    QStringList arguments = {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                             QStringLiteral("v:0"), QStringLiteral("-show_entries"), entries, QStringLiteral("-of"),
                             QStringLiteral("default=noprint_wrappers=1"), path};
    if (countFrames)
        arguments.prepend(QStringLiteral("-count_frames"));
    QByteArray output;
    if (RunProgram(QStringLiteral(FFPROBE_PROGRAM), arguments, &output) != 0)
        return {};
    return KeyValues(output);
}

// Frames over length, for a stream that states no average rate.
double CountedRate(const QString& path, double fileSeconds)
{
    const QMap<QString, QString> values =
        FfprobeValues(path, QStringLiteral("stream=nb_read_frames,duration"), true);
    const double frames = values.value(QStringLiteral("nb_read_frames")).toDouble();
    const double streamSeconds = values.value(QStringLiteral("duration")).toDouble();
    const double seconds = streamSeconds > 0 ? streamSeconds : fileSeconds;
    return frames > 0 && seconds > 0 ? frames / seconds : 0.0;
}

} // namespace

QString FetchRealMedia(QString& failure)
{
    if (!QFileInfo(kFetchScript).isExecutable()) {
        failure = QStringLiteral("the fetch script %1 is not there: configure with -DFRAMELIFT_REAL_MEDIA_FETCH=<its "
                                 "path> (or with that variable in the environment)")
                      .arg(kFetchScript);
        return {};
    }
    QString folder = RunFetch(failure);
    if (folder.isEmpty()) {
        failure.clear();
        folder = RunFetch(failure);
    }
    if (folder.isEmpty())
        return {};
    const QString missing = MissingFiles(folder);
    if (!missing.isEmpty()) {
        failure = QStringLiteral("%1 left out: %2").arg(kFetchScript, missing);
        return {};
    }
    return folder;
}

QStringList ListedRealMedia()
{
    const QString list = QFileInfo(kFetchScript).dir().filePath(QStringLiteral("files.tsv"));
    QStringList names;
    for (const QString& line : QString::fromUtf8(ReadFile(list)).split(u'\n', Qt::SkipEmptyParts))
        if (!line.startsWith(u'#'))
            names.append(line.section(u'\t', 0, 0));
    return names;
}

std::optional<FfprobeFacts> Ffprobe(const QString& path)
{
    const QMap<QString, QString> values = FfprobeValues(
        path,
        QStringLiteral("stream=codec_name,width,height,sample_aspect_ratio,avg_frame_rate:format=duration"));
    if (values.isEmpty())
        return std::nullopt;
    FfprobeFacts facts;
    facts.seconds = values.value(QStringLiteral("duration")).toDouble();
    facts.hasVideo = !values.value(QStringLiteral("codec_name")).isEmpty();
    const double aspect = Ratio(values.value(QStringLiteral("sample_aspect_ratio")));
    const int codedWidth = values.value(QStringLiteral("width")).toInt();
    facts.width = aspect > 0 ? static_cast<int>(std::lround(codedWidth * aspect)) : codedWidth;
    facts.height = values.value(QStringLiteral("height")).toInt();
    facts.frameRate = Ratio(values.value(QStringLiteral("avg_frame_rate")));
    if (facts.hasVideo && facts.frameRate == 0)
        facts.frameRate = CountedRate(path, facts.seconds);
    return facts;
}

QByteArray PictureRgb(const QString& path)
{
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB888);
    const qsizetype rowBytes = qsizetype(image.width()) * 3;
    QByteArray rows;
    rows.reserve(rowBytes * image.height());
    for (int y = 0; y < image.height(); ++y)
        rows.append(reinterpret_cast<const char*>(image.constScanLine(y)), rowBytes);
    return rows;
}
