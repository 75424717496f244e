#pragma once

#include <QString>
#include <QStringList>

// The turn and mirror part of an MP4 track's display matrix, as the file
// stores it: a display point is (a x + c y, b x + d y) of a picture point,
// rows counted downwards.
struct DisplayMatrix {
    int a = 1;
    int b = 0;
    int c = 0;
    int d = 1;

    bool operator==(const DisplayMatrix&) const = default;
    // Turned clockwise by a multiple of 90 degrees.
    static DisplayMatrix Clockwise(int degrees);
};

// Clips made with the ffmpeg program on first use and kept in one temporary
// folder for the rest of the test program's run.
struct ClipRecipe {
    QString fileName;     // also the cache key; the extension picks the container
    QStringList options;  // ffmpeg's input and output options
    DisplayMatrix display = {}; // MP4 only: written into the track header afterwards
};

// The path of the generated clip, or an empty string (with a test failure)
// when ffmpeg could not make it.
QString TestClip(const ClipRecipe& recipe);

// A moving test picture: every pixel changes from frame to frame, so that a
// frame off by one is told apart.
QString MovingPicture(int width, int height, double rate, double seconds);

// Ready-made clips, each a few seconds long at a small size.
namespace clips {
ClipRecipe H264Mp4();      // 320x240, 25 fps, 3 s, with sound
ClipRecipe Mpeg4Avi();     // 320x240, 25 fps, 2 s
ClipRecipe Mpeg2Mpg();     // 352x288, 25 fps, 2 s, program stream starting late
ClipRecipe Wmv();          // 320x240, 25 fps, 2 s
ClipRecipe Vp8Webm();      // 320x240, 30 fps, 2 s
ClipRecipe H264Mkv();      // 320x240, 24000/1001 fps, 2 s
ClipRecipe AnimatedGif();  // 160x120, 10 fps, 2 s
ClipRecipe RotatedMp4();   // 320x180 stored, shown turned a quarter to portrait, 2 s
// The moving picture of RotatedMp4, shown as the matrix says (identity: as stored).
ClipRecipe TurnedMp4(const QString& name, DisplayMatrix display);
ClipRecipe LongerMp4();    // 10.9 s, 160x120, 10 fps
ClipRecipe OddSizeMkv();   // 321x241
ClipRecipe VariableRateMkv(); // frames 40 ms apart, then 80 ms apart
ClipRecipe AudioOnlyM4a(); // 2 s of sound, no picture
ClipRecipe Wide169Mp4();   // 320x180 of one colour
ClipRecipe Bt709FullRangeMp4(); // 320x240, colours by BT.709 over the full 0..255 range
// One colour (0xRRGGBB) stored with a matrix ("bt709", "bt470bg") and range ("pc", "tv").
ClipRecipe ColourMp4(const QString& colour, const QString& matrix, const QString& range);
// 320x240, 25 fps, 3 s of sound, and of picture from 0.5 s to the end (container "mp4" or "mkv").
ClipRecipe PictureAfterSound(const QString& container);
// HEVC 10-bit BT.2020 with a transfer ("smpte2084", "arib-std-b67"), made from
// the SDR picture HdrSource() shows, its white at 100 nits.
ClipRecipe HdrMp4(const QString& transfer);
QString HdrSource();
// 720x576 interlaced, top field first, from 50 moving pictures a second:
// MPEG-2 in a program stream or H.264 in MP4, 2 s.
ClipRecipe InterlacedMpeg2();
ClipRecipe InterlacedH264();
} // namespace clips
