#pragma once

// The encoder functions behind GetImageEncoders(), one file each.

#include "platform/imaging/ImageEncoders.h"

ImageResult EncodeJpeg(const Bitmap& bitmap, OutputFile& file, const EncoderParameters& parameters);
ImageResult EncodePng(const Bitmap& bitmap, OutputFile& file, const EncoderParameters& parameters);
ImageResult EncodeTiff(const Bitmap& bitmap, OutputFile& file, const EncoderParameters& parameters);
ImageResult EncodeGif(const Bitmap& bitmap, OutputFile& file, const EncoderParameters& parameters);

// The result of an encoder that could not take the bitmap or the parameters it was given.
ImageResult InvalidInput(const OutputFile& file, const char* reason);
// The result of an encoder library's own failure.
ImageResult EncoderFailure(const OutputFile& file, const QString& reason);
