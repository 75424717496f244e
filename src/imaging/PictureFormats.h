#pragma once

#include "platform/imaging/ImageEncoders.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <span>

class Bitmap;
class OutputFile;

// Picture formats by the code the profile stores.
enum OutputFormat : int { kFormatBmp = 0, kFormatJpg = 1, kFormatPng = 2, kFormatTif = 3, kFormatGif = 4 };

// Writes the whole picture of the frame into file and commits it, ready to
// be placed under its name; on failure the file stays uncommitted and the
// result says why ("<path>: <reason>").
using PictureWriter = ImageResult (*)(const Bitmap& frame, OutputFile& file, int jpegQuality);

// Everything the program knows of one picture format.
struct PictureFormat {
    OutputFormat code;
    const char* listName;  // its entry in the Options list; nullptr: only a stored setting selects it
    const char* extension; // of the file names
    PictureWriter write;
};

// The pixel format a format's writer takes its frames in: a JPEG below
// full-colour quality takes the 4:2:0 planes that go into its file as they
// are, everything else blue, green, red.
PixelFormat FramePixelFormat(const PictureFormat& format, int jpegQuality);

// Every format, indexed by its code.
std::span<const PictureFormat> PictureFormats();

// The format of a stored code, or nullptr for a code no format has.
const PictureFormat* FindPictureFormat(int code);

// Each writes the frame into file and commits it; on failure the file stays
// uncommitted and the result says why.
ImageResult SaveAsJpeg(int jpegQuality, const Bitmap& bitmap, OutputFile& file);
ImageResult SaveAsPng(const Bitmap& bitmap, OutputFile& file);
ImageResult SaveAsTiff(const Bitmap& bitmap, OutputFile& file);
// Reduces the 24-bit frame to the fixed 8-bit palette with error diffusion
// and writes it; the temporary bitmap file is not involved.
ImageResult SaveAsGif(const Bitmap& bitmap, OutputFile& file);
