// framelift-extract: converts a stretch of each of several clips into
// pictures without a window, through the same job the Convert button runs,
// with the user's saved Options unless the command line says otherwise.
#include "cli/ClipConversion.h"
#include "cli/ClipList.h"
#include "cli/CommandOptions.h"
#include "cli/ConsoleOutput.h"
#include "cli/ExitStatus.h"
#include "cli/StopSignals.h"
#include "platform/media/MediaLog.h"
#include "platform/profile/Profile.h"
#include "platform/shell/KnownFolders.h"
#include "settings/SettingsStore.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>

namespace {

// The window's profile: the command reads the Options the window saved and writes nothing.
const QString kMaker = QStringLiteral("Quenlar");
const QString kProgram = QStringLiteral("framelift");

const QString kDescription = QStringLiteral(
    "Converts a stretch of each clip into pictures, as Framelift's Convert button does, with the Options saved\n"
    "in Framelift unless an option below says otherwise. A single clip writes into the output folder, several\n"
    "clips or a folder each into a subfolder named after the clip.\n"
    "Times are seconds (12.5) or hh:mm:ss.mmm (00:01:02.500).\n"
    "Exit status: 0 every picture written, 2 bad option, 3 nothing to convert, 4 a clip could not be opened,\n"
    "5 pictures lost, 130 stopped by Ctrl-C (143 by SIGTERM); with several clips the highest.");

ExitStatus Worse(ExitStatus a, ExitStatus b) { return std::max(a, b); }

int ConvertAll(const ExtractCommand& command, ConsoleMessages& messages)
{
    StopSignals stops;
    const ClipList list = ListClips(command.inputs, command.settings.outputFolder);
    ExitStatus status = ExitStatus::Done;
    for (const QString& folder : list.emptyFolders) {
        messages.Say(QStringLiteral("%1 holds no video file").arg(folder));
        status = ExitStatus::NothingToConvert;
    }
    ClipConverter converter(command, messages, stops);
    for (const ClipTarget& clip : list.clips) {
        if (StopSignals::Received() != 0)
            break;
        status = Worse(status, converter.Convert(clip));
    }
    if (StopSignals::Received() != 0)
        status = ExitStatus::Interrupted;
    return ExitCode(status, StopSignals::Received());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    ShowOnlyMediaErrors();
    QCoreApplication::setApplicationName(QStringLiteral("framelift-extract"));
    QCoreApplication::setApplicationVersion(QStringLiteral(FRAMELIFT_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(kDescription);
    AddCommandOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "framelift-extract: %s\nTry framelift-extract --help.\n", qPrintable(parser.errorText()));
        return ExitCode(ExitStatus::Usage);
    }
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(ExitCode(ExitStatus::Done));
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    Profile profile(Profile::DefaultPath(kMaker, kProgram));
    ConsoleMessages messages;
    XdgKnownFolders knownFolders;
    SettingsContext context{profile, knownFolders, messages};
    QString error;
    const std::optional<ExtractCommand> command = ReadCommand(parser, ReadConversionSettings(context), error);
    if (!command) {
        std::fprintf(stderr, "framelift-extract: %s\nTry framelift-extract --help.\n", qPrintable(error));
        return ExitCode(ExitStatus::Usage);
    }
    return ConvertAll(*command, messages);
}
