// framelift-extract: converts a range of a clip into pictures without a window,
// through the same job the Convert button runs.
#include "extract/ConversionJob.h"
#include "extract/FrameSampler.h"
#include "i18n/LanguagePack.h"
#include "platform/media/EditingServices.h"
#include "platform/media/MediaType.h"
#include "platform/media/ProbeGraph.h"
#include "platform/profile/Profile.h"
#include "platform/ui/MessageService.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <optional>

namespace {

// Messages go to standard error; questions are answered No.
class ConsoleMessages final : public MessageService {
public:
    using MessageService::Show;
    MessageAnswer Show(const Message& message) override
    {
        std::fprintf(stderr, "%s: %s\n", qPrintable(message.caption), qPrintable(message.text));
        ++shown;
        return message.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    int shown = 0;
};

struct Request {
    QString input;
    double start = 0;
    double end = 0;
    std::optional<double> stopAfter;
    ConversionSettings settings;
};

// A named choice: the index of its name, the fallback when the option is not given.
std::optional<int> Choice(const QCommandLineParser& parser, const QString& option, const QStringList& names,
                          int fallback)
{
    if (!parser.isSet(option))
        return fallback;
    const qsizetype index = names.indexOf(parser.value(option).toLower());
    return index < 0 ? std::nullopt : std::optional<int>(static_cast<int>(index));
}

std::optional<double> Number(const QCommandLineParser& parser, const QString& option, double fallback)
{
    if (!parser.isSet(option))
        return fallback;
    bool ok = false;
    const double value = parser.value(option).toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

void AddOptions(QCommandLineParser& parser)
{
    parser.addOptions({
        {QStringLiteral("input"), QStringLiteral("The clip."), QStringLiteral("file")},
        {QStringLiteral("start"), QStringLiteral("Start of the range in seconds."), QStringLiteral("s")},
        {QStringLiteral("end"), QStringLiteral("End of the range in seconds."), QStringLiteral("s")},
        {QStringLiteral("format"), QStringLiteral("bmp, jpg, png, tif or gif."), QStringLiteral("f")},
        {QStringLiteral("width"), QStringLiteral("Picture width (default: the clip's)."), QStringLiteral("w")},
        {QStringLiteral("height"), QStringLiteral("Picture height (default: the clip's)."), QStringLiteral("h")},
        {QStringLiteral("fps"), QStringLiteral("Output frame rate (default: the clip's)."), QStringLiteral("r")},
        {QStringLiteral("resize"), QStringLiteral("keep (aspect ratio) or stretch."), QStringLiteral("mode")},
        {QStringLiteral("quality"), QStringLiteral("JPEG quality 1-100."), QStringLiteral("q")},
        {QStringLiteral("interval"), QStringLiteral("Keep every N-th frame."), QStringLiteral("n")},
        {QStringLiteral("out"), QStringLiteral("Output folder."), QStringLiteral("dir")},
        {QStringLiteral("tone-map"), QStringLiteral("on (default) or off: HDR sources tone-mapped to SDR."),
         QStringLiteral("on|off")},
        {QStringLiteral("deinterlace"),
         QStringLiteral("auto (default: interlaced sources only), on (every source) or off."),
         QStringLiteral("auto|on|off")},
        {QStringLiteral("stop-after"),
         QStringLiteral("Stop the conversion after this many seconds, as the Stop button does, and print how "
                        "long stopping took."),
         QStringLiteral("s")},
    });
    parser.addHelpOption();
}

// The clip's own size and rate, for the values not given.
bool ProbeDefaults(const QString& input, int& width, int& height, double& rate)
{
    const std::unique_ptr<ProbeGraph> probe = FfmpegProbeFactory()();
    double secondsPerFrame = 0;
    if (!probe || Failed(probe->RenderFile(input.toStdString())) || Failed(probe->GetVideoSize(width, height)) ||
        Failed(probe->GetAvgTimePerFrame(secondsPerFrame)))
        return false;
    rate = secondsPerFrame > 0 ? 1.0 / secondsPerFrame : kDefaultFrameRate;
    return true;
}

std::optional<Request> ParseRequest(const QCommandLineParser& parser)
{
    Request request;
    request.input = parser.value(QStringLiteral("input"));
    // Indexed by the format codes and the stored values of the Options.
    const auto format = Choice(parser, QStringLiteral("format"),
                               {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("png"),
                                QStringLiteral("tif"), QStringLiteral("gif")},
                               kFormatBmp);
    const auto start = Number(parser, QStringLiteral("start"), 0);
    const auto end = Number(parser, QStringLiteral("end"), -1);
    const QString resize = parser.isSet(QStringLiteral("resize")) ? parser.value(QStringLiteral("resize"))
                                                                  : QStringLiteral("keep");
    const auto toneMap = Choice(parser, QStringLiteral("tone-map"), {QStringLiteral("off"), QStringLiteral("on")}, 1);
    const auto deinterlace = Choice(parser, QStringLiteral("deinterlace"),
                                    {QStringLiteral("off"), QStringLiteral("auto"), QStringLiteral("on")},
                                    kDeinterlaceAutomatic);
    if (request.input.isEmpty() || !parser.isSet(QStringLiteral("out")) || !format || !start || !end ||
        *end <= *start || (resize != QStringLiteral("keep") && resize != QStringLiteral("stretch")) || !toneMap ||
        !deinterlace)
        return std::nullopt;
    int width = 0;
    int height = 0;
    double rate = 0;
    if (!ProbeDefaults(request.input, width, height, rate))
        return std::nullopt;
    const auto w = Number(parser, QStringLiteral("width"), width);
    const auto h = Number(parser, QStringLiteral("height"), height);
    const auto fps = Number(parser, QStringLiteral("fps"), rate);
    const auto quality = Number(parser, QStringLiteral("quality"), 80);
    const auto interval = Number(parser, QStringLiteral("interval"), 1);
    const auto stopAfter = Number(parser, QStringLiteral("stop-after"), 0);
    if (!w || !h || !fps || !quality || !interval || !stopAfter || *w < 1 || *h < 1 || *fps <= 0 || *interval < 1 ||
        *stopAfter < 0)
        return std::nullopt;
    if (parser.isSet(QStringLiteral("stop-after")))
        request.stopAfter = *stopAfter;
    request.start = *start;
    request.end = *end;
    ConversionSettings& settings = request.settings;
    settings.outputFormat = *format;
    settings.outputFolder = QDir(parser.value(QStringLiteral("out"))).absolutePath() + u'/';
    settings.outputWidth = static_cast<int>(*w);
    settings.outputHeight = static_cast<int>(*h);
    settings.frameRate = *fps;
    settings.frameRateIndex = 6;
    settings.resizeMode = resize == QStringLiteral("stretch") ? kResizeStretch : kResizePreserveAspectRatio;
    settings.jpegQuality = static_cast<int>(*quality);
    settings.samplingInterval = static_cast<int>(*interval);
    settings.toneMapHdr = *toneMap == 1;
    settings.deinterlaceMode = *deinterlace;
    return request;
}

MediaTime ToMediaTime(double seconds) { return std::llround(seconds * kMediaUnitsPerSecond); }

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCommandLineParser parser;
    AddOptions(parser);
    parser.process(application);
    const std::optional<Request> request = ParseRequest(parser);
    if (!request) {
        std::fprintf(stderr, "framelift-extract: bad or missing argument, or the input cannot be probed\n%s",
                     qPrintable(parser.helpText()));
        return 2;
    }
    if (!QDir().mkpath(request->settings.outputFolder)) {
        std::fprintf(stderr, "framelift-extract: cannot create %s\n", qPrintable(request->settings.outputFolder));
        return 2;
    }

    QTemporaryDir scratch;
    Profile profile(scratch.filePath(QStringLiteral("profile.ini")));
    ConsoleMessages messages;
    LanguagePack language(profile, messages);
    FfmpegEditingServices editing;
    std::shared_ptr<SampleGrabber> grabber;
    if (Failed(editing.CreateSampleGrabber(grabber)) || Failed(grabber->SetMediaType(Rgb24GrabberType()))) {
        std::fprintf(stderr, "framelift-extract: no sample grabber\n");
        return 1;
    }
    std::FILE* quiet = std::fopen("/dev/null", "w");
    FrameGrabberCallback sampler(SystemLocalTime, quiet ? quiet : stdout);

    ConversionJob job(ConversionServices{editing, messages, language, grabber, sampler, nullptr});
    QObject::connect(&job, &ConversionJob::RunningChanged, &application, [&](bool running) {
        if (!running)
            application.quit();
    });
    ClipSource clip{1, 1, request->input, request->input, ToMediaTime(request->start), ToMediaTime(request->end), 0};
    QElapsedTimer timer;
    timer.start();
    job.Convert({clip, request->settings});
    if (!job.IsConverting()) {
        std::fprintf(stderr, "framelift-extract: the conversion could not be started\n");
        return 1;
    }
    QElapsedTimer stopping;
    std::optional<double> stopMilliseconds;
    if (request->stopAfter)
        QTimer::singleShot(std::chrono::milliseconds(std::llround(*request->stopAfter * 1000)), &job, [&] {
            if (!job.IsConverting())
                return;
            stopping.start();
            job.EndConversion();
            stopMilliseconds = static_cast<double>(stopping.nsecsElapsed()) / 1e6;
        });
    application.exec();
    if (stopMilliseconds)
        std::printf("stopped in: %.1f ms\n", *stopMilliseconds);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const std::int64_t frames = sampler.FrameCount();
    const std::int64_t written = sampler.PicturesWritten();
    std::printf("frames: %lld written: %lld seconds: %.3f fps: %.1f\n", static_cast<long long>(frames),
                static_cast<long long>(written), seconds, seconds > 0 ? static_cast<double>(frames) / seconds : 0.0);
    if (quiet)
        std::fclose(quiet);
    return messages.shown == 0 ? 0 : 1;
}
