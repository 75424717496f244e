#pragma once

#include <QString>
#include <QStringList>

// Clips made with the ffmpeg program on first use and kept in one temporary
// folder for the rest of the test program's run.
struct ClipRecipe {
    QString fileName;     // also the cache key; the extension picks the container
    QStringList options;  // ffmpeg's input and output options
    int displayRotation = 0; // MP4 only: clockwise degrees written into the track header afterwards
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
} // namespace clips
