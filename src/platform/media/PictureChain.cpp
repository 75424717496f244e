#include "platform/media/PictureChain.h"

#include "platform/media/FfmpegFields.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

// Players read an untagged picture larger than standard definition as HD.
constexpr int kLargestSdWidth = 1024;
constexpr int kLargestSdHeight = 576;

// Colours the filters convert from; anything else counts as untagged.
constexpr std::initializer_list<int> kMatrices = {AVCOL_SPC_BT709,     AVCOL_SPC_FCC,        AVCOL_SPC_BT470BG,
                                                  AVCOL_SPC_SMPTE170M, AVCOL_SPC_SMPTE240M,  AVCOL_SPC_BT2020_NCL,
                                                  AVCOL_SPC_BT2020_CL};
constexpr std::initializer_list<int> kPrimaries = {
    AVCOL_PRI_BT709,  AVCOL_PRI_BT470M,   AVCOL_PRI_BT470BG,  AVCOL_PRI_SMPTE170M, AVCOL_PRI_SMPTE240M,
    AVCOL_PRI_FILM,   AVCOL_PRI_BT2020,   AVCOL_PRI_SMPTE428, AVCOL_PRI_SMPTE431,  AVCOL_PRI_SMPTE432};
constexpr std::initializer_list<int> kTransfers = {
    AVCOL_TRC_BT709,        AVCOL_TRC_GAMMA22,      AVCOL_TRC_GAMMA28,   AVCOL_TRC_SMPTE170M,
    AVCOL_TRC_LINEAR,       AVCOL_TRC_IEC61966_2_4, AVCOL_TRC_BT2020_10, AVCOL_TRC_BT2020_12,
    AVCOL_TRC_IEC61966_2_1, AVCOL_TRC_SMPTE2084,    AVCOL_TRC_ARIB_STD_B67};

// SDR white is 100 nits; brighter HDR content is what the tone mapping rolls off.
constexpr const char* kToneMapping = "tonemap=mobius:param=0.7:desat=0";

int KnownOr(int value, std::initializer_list<int> known, int fallback)
{
    return std::find(known.begin(), known.end(), value) != known.end() ? value : fallback;
}

const AVPixFmtDescriptor* Descriptor(int format)
{
    return av_pix_fmt_desc_get(static_cast<AVPixelFormat>(format));
}

bool IsRgb(int format)
{
    const AVPixFmtDescriptor* descriptor = Descriptor(format);
    return descriptor && (descriptor->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL));
}

// The old "J" formats carry full range in their name instead of a flag.
bool IsJpegFormat(int format)
{
    return format == AV_PIX_FMT_YUVJ420P || format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P ||
           format == AV_PIX_FMT_YUVJ440P || format == AV_PIX_FMT_YUVJ411P;
}

bool IsHdrTransfer(int transfer)
{
    return transfer == AVCOL_TRC_SMPTE2084 || transfer == AVCOL_TRC_ARIB_STD_B67;
}

bool IsWideGamut(int primaries)
{
    return primaries == AVCOL_PRI_BT2020 || primaries == AVCOL_PRI_SMPTE431 || primaries == AVCOL_PRI_SMPTE432;
}

// zimg converts chroma-subsampled pictures only when their size divides by
// the subsampling; an odd-sized one first gets full chroma.
bool NeedsFullChroma(int format, int width, int height)
{
    const AVPixFmtDescriptor* descriptor = Descriptor(format);
    return descriptor &&
           (width % (1 << descriptor->log2_chroma_w) != 0 || height % (1 << descriptor->log2_chroma_h) != 0);
}

// zscale takes FFmpeg's own colour numbers, and its range as a name; its
// input options end in "in".
std::string ZscaleColours(const std::string& suffix, int transfer, int matrix, int primaries, bool fullRange)
{
    return "t" + suffix + "=" + std::to_string(transfer) + ":m" + suffix + "=" + std::to_string(matrix) + ":p" +
           suffix + "=" + std::to_string(primaries) + ":r" + suffix + "=" + (fullRange ? "full" : "limited");
}

std::string ZscaleFrom(const PictureColour& colour, int format, int width, int height)
{
    const std::string fullChroma = NeedsFullChroma(format, width, height) ? "format=yuv444p16le," : "";
    return fullChroma + "zscale=" +
           ZscaleColours("in", colour.transfer, colour.matrix, colour.primaries, colour.fullRange);
}

// PQ or HLG in linear light at 100 nits to the unit, tone-mapped, then
// BT.709 full-range RGB.
std::string HdrToSdr(const PictureColour& colour, int format, int width, int height)
{
    return ZscaleFrom(colour, format, width, height) + ":npl=100:" +
           ZscaleColours("", AVCOL_TRC_LINEAR, AVCOL_SPC_RGB, AVCOL_PRI_BT709, true) + ",format=gbrpf32le," +
           kToneMapping + ",zscale=" + ZscaleColours("in", AVCOL_TRC_LINEAR, AVCOL_SPC_RGB, AVCOL_PRI_BT709, true) +
           ":" + ZscaleColours("", AVCOL_TRC_BT709, AVCOL_SPC_RGB, AVCOL_PRI_BT709, true) + ",format=gbrp";
}

// Wide-gamut SDR to BT.709 primaries, keeping its transfer.
std::string GamutToBt709(const PictureColour& colour, int format, int width, int height)
{
    return ZscaleFrom(colour, format, width, height) + ":" +
           ZscaleColours("", colour.transfer, AVCOL_SPC_RGB, AVCOL_PRI_BT709, true) + ",format=gbrp";
}

// The scaler's name for a matrix; BT.601 is also what it calls 470BG and 170M.
const char* ScalerMatrix(int matrix)
{
    switch (matrix) {
    case AVCOL_SPC_BT709: return "bt709";
    case AVCOL_SPC_FCC: return "fcc";
    case AVCOL_SPC_SMPTE240M: return "smpte240m";
    case AVCOL_SPC_BT2020_NCL:
    case AVCOL_SPC_BT2020_CL: return "bt2020";
    default: return "bt601";
    }
}

// colorspace's name for a matrix it converts from; nullptr for one it does not know.
const char* ColorspaceMatrix(int matrix)
{
    switch (matrix) {
    case AVCOL_SPC_BT709: return "bt709";
    case AVCOL_SPC_FCC: return "fcc";
    case AVCOL_SPC_BT470BG: return "bt470bg";
    case AVCOL_SPC_SMPTE170M: return "smpte170m";
    case AVCOL_SPC_SMPTE240M: return "smpte240m";
    case AVCOL_SPC_BT2020_NCL: return "bt2020ncl";
    default: return nullptr;
    }
}

// A JPEG's planes are full-range BT.601. colorspace changes the matrix and
// range of a 4:2:0 picture in one pass and leaves its chroma as it is (fast
// mode: primaries and transfer stay out of it); the scaler would go by way of
// 16-bit RGB at several times the cost. Only for 8-bit pictures of even
// sizes of a matrix it knows: it refuses odd ones and loses precision on
// deeper ones.
bool ColorspaceTakes(const PictureColour& colour, int format, int width, int height)
{
    return ColorspaceMatrix(colour.matrix) != nullptr && format == AV_PIX_FMT_YUV420P && width % 2 == 0 &&
           height % 2 == 0;
}

// For a picture colorspace takes.
std::string ToJpegPlanes(const PictureColour& colour)
{
    return std::string("colorspace=fast=1:ispace=") + ColorspaceMatrix(colour.matrix) +
           ":irange=" + (colour.fullRange ? "pc" : "tv") +
           ":iprimaries=bt709:itrc=bt709:space=bt470bg:range=pc:primaries=bt709:trc=bt709:format=yuv420p,";
}

// Whether a JPEG's planes are drawn from the picture's own: 8-bit 4:2:0
// whose matrix colorspace changes, or full-range BT.601 already, which is
// only resized. Every other picture keeps blue, green, red, which every
// writer takes: the scaler changes a YUV picture's range but not its matrix,
// and deeper or finer planes would lose what they hold.
bool JpegPlanesFit(const AVFrame& picture, const PictureColour& colour)
{
    const bool jpegAlready = picture.format == AV_PIX_FMT_YUVJ420P &&
                             (colour.matrix == AVCOL_SPC_BT470BG || colour.matrix == AVCOL_SPC_SMPTE170M);
    return jpegAlready || ColorspaceTakes(colour, picture.format, picture.width, picture.height);
}

// What the scaler reads: RGB, YUV of a matrix and range, or a JPEG's planes
// already, which it only resizes.
struct ScalerInput {
    const char* matrix = nullptr; // nullptr: RGB
    bool fullRange = true;
    bool jpegPlanes = false;
};

// Writes full range, in BT.601 for a JPEG's planes.
std::string Scale(int width, int height, const ScalerInput& input, PictureLayout layout)
{
    std::string scale = "scale=" + std::to_string(width) + ":" + std::to_string(height) + ":flags=bicubic";
    if (input.jpegPlanes)
        return scale + ":in_range=full:out_range=full";
    if (input.matrix != nullptr)
        scale += std::string(":in_color_matrix=") + input.matrix +
                 ":in_range=" + (input.fullRange ? "full" : "limited");
    if (layout == PictureLayout::Yuv420)
        scale += ":out_color_matrix=bt601";
    return scale + ":out_range=full";
}

// The ffmpeg program's filters for each turn and mirror of a display matrix.
std::string Orient(DisplayOrientation orientation)
{
    static const char* const kTurned[] = {"", ",transpose=clock", ",hflip,vflip", ",transpose=cclock"};
    static const char* const kMirrored[] = {",vflip", ",transpose=cclock_flip", ",hflip", ",transpose=clock_flip"};
    const int quarter = std::clamp(orientation.quarterTurns, 0, 3);
    return orientation.mirrored ? kMirrored[quarter] : kTurned[quarter];
}

// Whether black bars surround a picture that keeps its aspect.
bool Barred(const PictureRect& rect, int width, int height)
{
    return rect != PictureRect{0, 0, width, height};
}

std::string Pad(const PictureRect& rect, int width, int height)
{
    if (!Barred(rect, width, height))
        return "";
    return ",pad=" + std::to_string(width) + ":" + std::to_string(height) + ":" + std::to_string(rect.x) + ":" +
           std::to_string(rect.y) + ":black";
}

// The pixel formats the chain may end in for the writer. Full-range planes go
// by either name: the old J name makes pad draw full-range black bars, and
// without bars the plain name, which colorspace writes, lets its planes
// through as they are instead of the scaler copying them only to rename them.
std::vector<int> WriterFormats(PictureLayout layout, bool barred)
{
    const int named = DrawnPicture::PixelFormatOf(layout);
    if (layout == PictureLayout::Yuv420 && !barred)
        return {named, AV_PIX_FMT_YUV420P};
    return {named};
}

std::string FormatFilter(const std::vector<int>& formats)
{
    std::string filter = ",format=";
    for (const int format : formats) {
        if (format != formats.front())
            filter += '|';
        filter += av_get_pix_fmt_name(static_cast<AVPixelFormat>(format));
    }
    return filter;
}

} // namespace

double DisplayAspect(int width, int height, AVRational sampleAspect, int rotation)
{
    const double sar = sampleAspect.num > 0 && sampleAspect.den > 0 ? av_q2d(sampleAspect) : 1.0;
    const double aspect = width * sar / height;
    return rotation % 180 != 0 ? 1.0 / aspect : aspect;
}

PictureRect FitPicture(double displayAspect, int width, int height, bool keepAspect)
{
    if (!keepAspect || !(displayAspect > 0.0))
        return PictureRect{0, 0, width, height};
    int fittedWidth = width;
    int fittedHeight = height;
    if (displayAspect > static_cast<double>(width) / height)
        fittedHeight = std::clamp(static_cast<int>(std::lround(width / displayAspect)), 1, height);
    else
        fittedWidth = std::clamp(static_cast<int>(std::lround(height * displayAspect)), 1, width);
    return PictureRect{(width - fittedWidth) / 2, (height - fittedHeight) / 2, fittedWidth, fittedHeight};
}

PictureColour ColourOf(const AVFrame& picture)
{
    const bool hd = picture.width > kLargestSdWidth || picture.height > kLargestSdHeight;
    PictureColour colour;
    colour.transfer = KnownOr(StoredNumber(picture.color_trc), kTransfers, AVCOL_TRC_BT709);
    // HDR is BT.2020 by convention, whatever the picture's size.
    const bool hdr = IsHdrTransfer(colour.transfer);
    const int untaggedMatrix = hdr ? AVCOL_SPC_BT2020_NCL : hd ? AVCOL_SPC_BT709 : AVCOL_SPC_BT470BG;
    const int untaggedPrimaries = hdr ? AVCOL_PRI_BT2020 : hd ? AVCOL_PRI_BT709 : AVCOL_PRI_SMPTE170M;
    const bool rgb = IsRgb(picture.format);
    colour.matrix = rgb ? AVCOL_SPC_RGB : KnownOr(StoredNumber(picture.colorspace), kMatrices, untaggedMatrix);
    colour.primaries = KnownOr(StoredNumber(picture.color_primaries), kPrimaries, untaggedPrimaries);
    colour.fullRange =
        rgb || StoredNumber(picture.color_range) == AVCOL_RANGE_JPEG || IsJpegFormat(picture.format);
    return colour;
}

MediaResult PictureChain::Draw(const AVFrame& picture, DisplayOrientation orientation, bool keepAspect,
                               bool toneMapHdr, PictureLayout layout, int width, int height, DrawnPicture& drawn)
{
    const PictureRect rect = FitPicture(DisplayAspect(picture.width, picture.height, picture.sample_aspect_ratio,
                                                      orientation.quarterTurns * 90),
                                        width, height, keepAspect);
    const PictureColour colour = ColourOf(picture);
    const Shape shape{picture.width,
                      picture.height,
                      picture.format,
                      colour,
                      orientation,
                      toneMapHdr,
                      orientation.Sideways() ? rect.height : rect.width,
                      orientation.Sideways() ? rect.width : rect.height,
                      rect,
                      width,
                      height,
                      JpegPlanesFit(picture, colour) ? layout : PictureLayout::Bgr24};
    return Filter(picture, shape, drawn);
}

std::vector<int> PictureChain::OutputFormats(const Shape& shape)
{
    return WriterFormats(shape.layout, Barred(shape.rect, shape.frameWidth, shape.frameHeight));
}

// At most one colour conversion by zimg, then the scaler, the turn and the
// writer's pixel format.
std::string PictureChain::Filters(const Shape& shape)
{
    const PictureColour& colour = shape.colour;
    const bool hdr = IsHdrTransfer(colour.transfer);
    std::string filters;
    if (shape.toneMapHdr && hdr)
        filters = HdrToSdr(colour, shape.format, shape.width, shape.height) + ",";
    else if (!hdr && IsWideGamut(colour.primaries))
        filters = GamutToBt709(colour, shape.format, shape.width, shape.height) + ",";
    ScalerInput input; // RGB after zimg
    if (filters.empty() && !IsRgb(shape.format)) {
        if (shape.layout == PictureLayout::Yuv420 && ColorspaceTakes(colour, shape.format, shape.width, shape.height))
            filters = ToJpegPlanes(colour);
        input = filters.empty() ? ScalerInput{ScalerMatrix(colour.matrix), colour.fullRange}
                                : ScalerInput{nullptr, true, true};
    }
    return filters + Scale(shape.scaledWidth, shape.scaledHeight, input, shape.layout) +
           Orient(shape.orientation) + Pad(shape.rect, shape.frameWidth, shape.frameHeight) +
           FormatFilter(OutputFormats(shape));
}

MediaResult PictureChain::Filter(const AVFrame& picture, const Shape& shape, DrawnPicture& drawn)
{
    if (!input_ || !output_)
        return MediaResult::OutOfMemory;
    if (!chain_.Built() || shape != shape_) {
        if (const MediaResult built = chain_.Build(picture, Filters(shape)); Failed(built))
            return built;
        shape_ = shape;
    }
    if (av_frame_ref(input_.get(), &picture) < 0)
        return MediaResult::OutOfMemory;
    // The tags the chain was built for, so that no filter meets a number FFmpeg does not name.
    input_->colorspace = static_cast<AVColorSpace>(shape.colour.matrix);
    input_->color_primaries = static_cast<AVColorPrimaries>(shape.colour.primaries);
    input_->color_trc = static_cast<AVColorTransferCharacteristic>(shape.colour.transfer);
    input_->color_range = shape.colour.fullRange ? AVCOL_RANGE_JPEG : AVCOL_RANGE_MPEG;
    if (const MediaResult pushed = chain_.Push(*input_); Failed(pushed))
        return pushed;
    av_frame_unref(output_.get());
    const MediaResult pulled = chain_.Pull(*output_);
    if (pulled != MediaResult::Ok)
        return Failed(pulled) ? pulled : MediaResult::DecodeFault;
    const std::vector<int> formats = OutputFormats(shape);
    if (output_->width != shape.frameWidth || output_->height != shape.frameHeight ||
        std::ranges::find(formats, output_->format) == formats.end())
        return MediaResult::DecodeFault;
    drawn = DrawnPicture(*output_, shape.layout);
    return drawn.Empty() ? MediaResult::OutOfMemory : MediaResult::Ok;
}
