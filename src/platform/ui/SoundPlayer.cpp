#include "platform/ui/SoundPlayer.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

namespace {

QString FindPlayerProgram()
{
    for (const char* name : {"pw-play", "paplay", "aplay"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty())
            return path;
    }
    return {};
}

QStringList PlayerArguments(const QString& program, const QString& file)
{
    // aplay prints a line per file unless told to be quiet.
    if (program.endsWith(QStringLiteral("aplay")))
        return {QStringLiteral("-q"), file};
    return {file};
}

} // namespace

ProcessSoundPlayer::ProcessSoundPlayer() : program_(FindPlayerProgram()), process_(std::make_unique<QProcess>())
{
    process_->setStandardOutputFile(QProcess::nullDevice());
    process_->setStandardErrorFile(QProcess::nullDevice());
}

ProcessSoundPlayer::~ProcessSoundPlayer()
{
    // A short sound still playing is cut off rather than left to outlive the program.
    if (process_->state() != QProcess::NotRunning) {
        process_->kill();
        process_->waitForFinished(1000);
    }
}

void ProcessSoundPlayer::PlayAsync(const QByteArray& wave)
{
    if (program_.isEmpty() || wave.isEmpty() || process_->state() != QProcess::NotRunning)
        return;
    if (!StoreWave(wave))
        return;
    process_->start(program_, PlayerArguments(program_, file_->fileName()));
}

bool ProcessSoundPlayer::StoreWave(const QByteArray& wave)
{
    if (file_ && stored_ == wave)
        return true;
    auto file = std::make_unique<QTemporaryFile>(QStringLiteral("%1/framelift-XXXXXX.wav").arg(QDir::tempPath()));
    if (!file->open() || file->write(wave) != wave.size() || !file->flush())
        return false;
    file_ = std::move(file);
    stored_ = wave;
    return true;
}
