#include "WindowDriver.h"

#include "settings/ProfileNames.h"
#include "support/TestFiles.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QTest>

WindowDriver::WindowDriver(const QString& folder)
    : outputFolder(folder.isEmpty() ? fake.dir.filePath(QStringLiteral("pictures")) : folder)
{
    using namespace ProfileNames;
    fake.profile.WriteText(kSettings, kOutputPictureFolder, outputFolder);
    fake.profile.WriteText(kSettings, kOutputName, fake.dir.filePath(QStringLiteral("output.avi")));
    window = std::make_unique<MainWindow>(fake.services);
}

WindowDriver::~WindowDriver()
{
    window.reset();
}

bool WindowDriver::Open(const QString& clip)
{
    fake.choosers.files = {clip};
    window->OnCommand(kIdOpenVideo);
    return window->Player() != nullptr;
}

bool WindowDriver::StartConversion()
{
    window->OnCommand(kIdConvert);
    return window->IsConverting();
}

bool WindowDriver::WaitForEnd(int milliseconds)
{
    QDeadlineTimer deadline(milliseconds);
    while (window->IsConverting() && !deadline.hasExpired())
        QTest::qWait(20);
    return !window->IsConverting();
}

QStringList WindowDriver::Pictures() const
{
    return QDir(outputFolder).entryList(QDir::Files, QDir::Name);
}

bool DecodesCleanly(const QString& picture, QByteArray* complaint)
{
    const int code = RunProgram(QStringLiteral(FFMPEG_PROGRAM),
                                {QStringLiteral("-nostdin"), QStringLiteral("-v"), QStringLiteral("error"),
                                 QStringLiteral("-i"), picture, QStringLiteral("-f"), QStringLiteral("null"),
                                 QStringLiteral("-")},
                                complaint);
    return code == 0 && complaint->trimmed().isEmpty();
}
