#include "DamagedMedia.h"

#include "support/TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace {

QString DamagedPath(const QString& name)
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/framelift-damaged-XXXXXX"));
    return folder.filePath(name);
}

QString BaseName(const QString& path)
{
    return QFileInfo(path).fileName();
}

// Writes the bytes once under the name and returns its path.
QString Derived(const QString& name, const std::function<QByteArray()>& make)
{
    const QString path = DamagedPath(name);
    if (!QFileInfo::exists(path))
        WriteFile(path, make());
    return path;
}

QStringList H264(const QString& graph, const QStringList& extra = {})
{
    return QStringList{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), graph,
                       QStringLiteral("-c:v"), QStringLiteral("libx264"), QStringLiteral("-preset"),
                       QStringLiteral("ultrafast"), QStringLiteral("-pix_fmt"), QStringLiteral("yuv420p")}
           + extra;
}

} // namespace

namespace damaged {

QString Truncated(const QString& source, double fraction)
{
    return Derived(QStringLiteral("cut%1-%2").arg(qRound(fraction * 100)).arg(BaseName(source)), [&] {
        const QByteArray bytes = ReadFile(source);
        return bytes.left(static_cast<qsizetype>(bytes.size() * fraction));
    });
}

QString Flipped(const QString& source, double fraction, int count)
{
    return Derived(QStringLiteral("flip%1-%2").arg(qRound(fraction * 100)).arg(BaseName(source)), [&] {
        QByteArray bytes = ReadFile(source);
        const qsizetype from = static_cast<qsizetype>(bytes.size() * fraction);
        for (qsizetype i = from; i < qMin(from + count, bytes.size()); ++i)
            bytes[i] = static_cast<char>(~bytes.at(i));
        return bytes;
    });
}

QString ZeroLength()
{
    return Derived(QStringLiteral("empty.mp4"), [] { return QByteArray(); });
}

QString HeaderOnOther(const QString& headerSource, const QString& dataSource, int headerBytes)
{
    const QString name = QStringLiteral("head-%1-on-%2").arg(BaseName(headerSource), BaseName(dataSource));
    return Derived(name, [&] { return ReadFile(headerSource).left(headerBytes) + ReadFile(dataSource).mid(headerBytes); });
}

QString BackwardsTimestamps()
{
    const QString late = DamagedPath(QStringLiteral("late.ts"));
    const QString early = DamagedPath(QStringLiteral("early.ts"));
    const QString graph = QStringLiteral("testsrc2=size=160x120:rate=25:duration=1");
    if (!QFileInfo::exists(late)
        && !GenerateClip(late, H264(graph, {QStringLiteral("-output_ts_offset"), QStringLiteral("10")})))
        return {};
    if (!QFileInfo::exists(early) && !GenerateClip(early, H264(graph)))
        return {};
    return Derived(QStringLiteral("backwards.ts"), [&] { return ReadFile(late) + ReadFile(early); });
}

QString FrameSize(int width, int height, double seconds)
{
    const QString path = DamagedPath(QStringLiteral("size%1x%2.mkv").arg(width).arg(height));
    if (QFileInfo::exists(path))
        return path;
    // 4:4:4 lossless keeps a single pixel; tiny sizes are beyond the 4:2:0 encoders.
    const QStringList options{QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                              QStringLiteral("testsrc2=size=%1x%2:rate=10:duration=%3")
                                  .arg(qMax(width, 2)).arg(qMax(height, 2)).arg(seconds),
                              QStringLiteral("-vf"), QStringLiteral("scale=%1:%2").arg(width).arg(height),
                              QStringLiteral("-c:v"), QStringLiteral("ffv1"), QStringLiteral("-pix_fmt"),
                              QStringLiteral("yuv444p")};
    return GenerateClip(path, options) ? path : QString();
}

} // namespace damaged

struct Watchdog::State {
    std::mutex mutex;
    std::condition_variable disarmed;
    bool done = false;
    std::thread thread;
};

Watchdog::Watchdog(const QString& what, int seconds) : state_(std::make_unique<State>())
{
    state_->thread = std::thread([state = state_.get(), name = what.toStdString(), seconds] {
        std::unique_lock lock(state->mutex);
        if (!state->disarmed.wait_for(lock, std::chrono::seconds(seconds), [state] { return state->done; })) {
            std::fprintf(stderr, "HANG: %s did not return within %d s\n", name.c_str(), seconds);
            std::_Exit(3);
        }
    });
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->done = true;
    }
    state_->disarmed.notify_one();
    state_->thread.join();
}
