#pragma once

#include <QByteArray>
#include <QImage>

#include <optional>

namespace ImageDecoding {

// The largest picture decoded, in pixels: 64 megapixels (256 MB as 32-bit pixels). Larger
// declared sizes are refused before any pixel memory is allocated.
inline constexpr qint64 kMaxPixels = 64LL * 1000 * 1000;

// Decodes the first image of `bytes` in premultiplied 32-bit ARGB, with its EXIF orientation
// applied. Nothing for bytes that are not an image, truncated data that yields no picture,
// empty pictures and pictures over kMaxPixels (the last is logged).
std::optional<QImage> decode(const QByteArray& bytes);

} // namespace ImageDecoding
