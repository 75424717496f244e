#pragma once

// The encoders, one file each. JPEG, PNG and TIFF take a 24-bit bitmap (JPEG
// below full-colour quality also YUV 4:2:0 planes), GIF an 8-bit one with its
// palette.

#include "platform/imaging/ImageEncoders.h"

ImageResult EncodeJpeg(const Bitmap& bitmap, OutputFile& file, const EncoderParameters& parameters);
ImageResult EncodePng(const Bitmap& bitmap, OutputFile& file, const EncoderParameters& parameters);
ImageResult EncodeTiff(const Bitmap& bitmap, OutputFile& file, const EncoderParameters& parameters);
ImageResult EncodeGif(const Bitmap& bitmap, OutputFile& file, const EncoderParameters& parameters);

// The result of an encoder that could not take the bitmap or the parameters it was given.
ImageResult InvalidInput(const OutputFile& file, const char* reason);
// The result for a bitmap whose buffer is too short for its size (or that is not 24-bit where that is needed).
ImageResult UnfitFrame(const OutputFile& file);
// The result of an encoder library's own failure.
ImageResult EncoderFailure(const OutputFile& file, const QString& reason);
