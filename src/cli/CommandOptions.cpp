#include "cli/CommandOptions.h"

#include "cli/TimeText.h"
#include "settings/PathRules.h"

#include <QCommandLineParser>
#include <QDir>

#include <cmath>

namespace {

// The option names; the manual page lists the same.
const QString kInput = QStringLiteral("input");
const QString kOut = QStringLiteral("out");
const QString kStart = QStringLiteral("start");
const QString kEnd = QStringLiteral("end");
const QString kFormat = QStringLiteral("format");
const QString kQuality = QStringLiteral("quality");
const QString kInterval = QStringLiteral("interval");
const QString kWidth = QStringLiteral("width");
const QString kHeight = QStringLiteral("height");
const QString kResize = QStringLiteral("resize");
const QString kFps = QStringLiteral("fps");
const QString kToneMap = QStringLiteral("tone-map");
const QString kDeinterlace = QStringLiteral("deinterlace");
const QString kStopAfter = QStringLiteral("stop-after");

// Indexed by the picture format codes of the Options.
const QStringList kFormatNames{QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("png"),
                               QStringLiteral("tif"), QStringLiteral("gif")};
const QStringList kOnOff{QStringLiteral("off"), QStringLiteral("on")};
// Indexed by the stored deinterlacing modes.
const QStringList kDeinterlaceNames{QStringLiteral("off"), QStringLiteral("auto"), QStringLiteral("on")};
const QString kOriginal = QStringLiteral("original");

// Reads the options one by one; the first bad value leaves its text in error.
class OptionReader final {
public:
    OptionReader(const QCommandLineParser& parser, QString& error) : parser_(parser), error_(error) {}

    bool Has(const QString& name) const { return parser_.isSet(name); }
    QString Value(const QString& name) const { return parser_.value(name); }

    // A name of the list, as its index.
    void Choice(const QString& name, const QStringList& names, int& value)
    {
        if (!Has(name))
            return;
        const qsizetype index = names.indexOf(Value(name).toLower());
        if (index < 0)
            Fail(name, names.join(QStringLiteral(", ")));
        else
            value = static_cast<int>(index);
    }

    void Integer(const QString& name, int lowest, int highest, int& value)
    {
        if (Has(name))
            ReadInteger(name, lowest, highest, value);
    }

    void Integer(const QString& name, int lowest, int highest, std::optional<int>& value)
    {
        int number = 0;
        if (Has(name) && ReadInteger(name, lowest, highest, number))
            value = number;
    }

    void Seconds(const QString& name, std::optional<double>& value)
    {
        if (!Has(name))
            return;
        value = ParseTimeText(Value(name));
        if (!value)
            Fail(name, QStringLiteral("seconds or hh:mm:ss.mmm"));
    }

    // The window's choices: the clip's own rate, or a rate of the user's.
    void Rate(ConversionSettings& settings)
    {
        if (!Has(kFps))
            return;
        if (Value(kFps).toLower() == kOriginal) {
            settings.frameRateIndex = kOriginalFrameRateIndex;
            return;
        }
        bool ok = false;
        const double rate = Value(kFps).toDouble(&ok);
        if (!ok || !std::isfinite(rate) || rate <= 0.0 || rate > 1000.0)
            return Fail(kFps, QStringLiteral("frames a second above 0, at most 1000, or original"));
        settings.frameRateIndex = kCustomFrameRateIndex;
        settings.frameRate = rate;
    }

    bool Failed() const { return !error_.isEmpty(); }

private:
    bool ReadInteger(const QString& name, int lowest, int highest, int& value)
    {
        bool ok = false;
        const int number = Value(name).toInt(&ok);
        if (!ok || number < lowest || number > highest) {
            Fail(name, QStringLiteral("a whole number from %1 to %2").arg(lowest).arg(highest));
            return false;
        }
        value = number;
        return true;
    }

    void Fail(const QString& name, const QString& expected)
    {
        if (error_.isEmpty())
            error_ = QStringLiteral("--%1 %2: expected %3").arg(name, Value(name), expected);
    }

    const QCommandLineParser& parser_;
    QString& error_;
};

void ReadPicture(OptionReader& options, ConversionSettings& settings)
{
    options.Choice(kFormat, kFormatNames, settings.outputFormat);
    options.Integer(kQuality, 1, 100, settings.jpegQuality);
    options.Integer(kInterval, 1, 1'000'000, settings.samplingInterval);
    int stretch = settings.resizeMode == kResizeStretch ? 1 : 0;
    options.Choice(kResize, {QStringLiteral("keep"), QStringLiteral("stretch")}, stretch);
    settings.resizeMode = stretch == 1 ? kResizeStretch : kResizePreserveAspectRatio;
    int toneMap = settings.toneMapHdr ? 1 : 0;
    options.Choice(kToneMap, kOnOff, toneMap);
    settings.toneMapHdr = toneMap == 1;
    options.Choice(kDeinterlace, kDeinterlaceNames, settings.deinterlaceMode);
    if (options.Has(kOut))
        settings.outputFolder = WithTrailingBackslash(QDir(options.Value(kOut)).absolutePath());
}

} // namespace

void AddCommandOptions(QCommandLineParser& parser)
{
    parser.addPositionalArgument(QStringLiteral("clips"), QStringLiteral("Video files, or folders of video files."),
                                 QStringLiteral("clip|folder..."));
    parser.addOptions({
        {{QStringLiteral("o"), kOut}, QStringLiteral("Folder the pictures go to (saved Options: Output folder)."),
         QStringLiteral("folder")},
        {kInput, QStringLiteral("A clip, as one given without an option."), QStringLiteral("file")},
        {{QStringLiteral("s"), kStart}, QStringLiteral("Start of the stretch (default: the clip's beginning)."),
         QStringLiteral("time")},
        {{QStringLiteral("e"), kEnd}, QStringLiteral("End of the stretch (default: the clip's end)."),
         QStringLiteral("time")},
        {{QStringLiteral("f"), kFormat}, QStringLiteral("Picture format: bmp, jpg, png, tif or gif."),
         QStringLiteral("format")},
        {{QStringLiteral("q"), kQuality}, QStringLiteral("JPEG quality, 1 to 100."), QStringLiteral("quality")},
        {{QStringLiteral("n"), kInterval}, QStringLiteral("Keep every n-th frame."), QStringLiteral("n")},
        {kWidth, QStringLiteral("Picture width (default: the clip's)."), QStringLiteral("pixels")},
        {kHeight, QStringLiteral("Picture height (default: the clip's)."), QStringLiteral("pixels")},
        {kResize, QStringLiteral("keep (the aspect ratio, with black bars) or stretch."), QStringLiteral("mode")},
        {{QStringLiteral("r"), kFps}, QStringLiteral("Frames a second, or original (the clip's own rate)."),
         QStringLiteral("rate")},
        {kToneMap, QStringLiteral("on or off: HDR clips tone-mapped to SDR."), QStringLiteral("on|off")},
        {kDeinterlace, QStringLiteral("auto (clips marked interlaced), on (every clip) or off."),
         QStringLiteral("auto|on|off")},
        {kStopAfter,
         QStringLiteral("Stop as Ctrl-C does after this many seconds of converting, and print how long stopping took."),
         QStringLiteral("seconds")},
    });
    parser.addHelpOption();
    parser.addVersionOption();
}

std::optional<ExtractCommand> ReadCommand(const QCommandLineParser& parser, const ConversionSettings& saved,
                                          QString& error)
{
    ExtractCommand command;
    command.inputs = parser.values(kInput) + parser.positionalArguments();
    command.settings = saved;
    // The command writes pictures only: no video file to confirm or replace.
    command.settings.outputFilePath.clear();
    OptionReader options(parser, error);
    options.Seconds(kStart, command.start);
    options.Seconds(kEnd, command.end);
    options.Seconds(kStopAfter, command.stopAfter);
    ReadPicture(options, command.settings);
    options.Integer(kWidth, 1, 16384, command.width);
    options.Integer(kHeight, 1, 16384, command.height);
    options.Rate(command.settings);
    if (!options.Failed() && command.inputs.isEmpty())
        error = QStringLiteral("no clip given");
    if (!options.Failed() && error.isEmpty() && command.settings.outputFolder.isEmpty())
        error = QStringLiteral("no output folder: give --out");
    if (!error.isEmpty())
        return std::nullopt;
    return command;
}
