#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int RunProgram(const QString& program, const QStringList& arguments, QByteArray* output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted() || !process.waitForFinished(300000))
        return -1;
    if (output)
        *output = process.readAll();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

bool GenerateClip(const QString& path, const QStringList& inputAndOptions)
{
    QDir().mkpath(QFileInfo(path).path());
    QByteArray output;
    const QStringList arguments = QStringList{QStringLiteral("-nostdin"), QStringLiteral("-y"),
                                              QStringLiteral("-loglevel"), QStringLiteral("error")}
                                  + inputAndOptions + QStringList{path};
    const int code = RunProgram(QStringLiteral(FFMPEG_PROGRAM), arguments, &output);
    if (code != 0)
        ADD_FAILURE() << "ffmpeg failed for " << path.toStdString() << ": " << output.toStdString();
    return code == 0;
}
