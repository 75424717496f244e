#pragma once

#include "settings/ConversionSettings.h"

#include <QString>
#include <QStringList>

#include <optional>

class QCommandLineParser;

// One call of the command: which clips, which stretch of each, and the
// Options to convert them with.
struct ExtractCommand {
    QStringList inputs;                // clip files and folders of clips, in the order given
    std::optional<double> start;       // seconds; none: the clip's beginning
    std::optional<double> end;         // seconds; none: the clip's end
    std::optional<double> stopAfter;   // seconds after which the conversion is stopped
    ConversionSettings settings;       // the saved Options with the command line's choices over them
    std::optional<int> width;          // none: the clip's own, as when the window opens a clip
    std::optional<int> height;
};

// Declares every option, --help and --version included.
void AddCommandOptions(QCommandLineParser& parser);

// The command the parsed line asks for, the options not given taken from
// saved; nullopt with error set for a bad value or no clip.
std::optional<ExtractCommand> ReadCommand(const QCommandLineParser& parser, const ConversionSettings& saved,
                                          QString& error);
