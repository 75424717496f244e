#pragma once

#include "platform/imaging/ImageEncoders.h"

#include <QString>

#include <span>
#include <string_view>

class Bitmap;

// The index of the encoder whose MIME type is exactly mimeType (case counts),
// or -1; encoder is set only when one is found.
int FindEncoderByMimeType(std::string_view mimeType, const ImageCodecInfo** encoder,
                          std::span<const ImageCodecInfo> encoders = GetImageEncoders());

// Each writes the frame to path, replacing an existing file, and returns true
// on success. On failure no file is left and the bitmap's last status tells why.
bool SaveAsJpeg(int jpegQuality, Bitmap& bitmap, const QString& path);
bool SaveAsPng(Bitmap& bitmap, const QString& path);
bool SaveAsTiff(Bitmap& bitmap, const QString& path);
// Reduces the 24-bit frame to the fixed 8-bit palette with error diffusion
// and writes it straight to path; no temporary file is involved.
bool SaveAsGif(Bitmap& bitmap, const QString& path);
