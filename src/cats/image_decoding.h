#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <optional>

namespace ImageDecoding {

// The largest picture decoded, in pixels: 100 megapixels (400 MB as 32-bit pixels). Larger
// declared sizes are refused before any pixel memory is allocated.
inline constexpr qint64 kMaxPixels = 100LL * 1000 * 1000;
// The largest picture file read: more than any picture of the allowed size needs.
inline constexpr qint64 kMaxFileBytes = 256LL * 1024 * 1024;

// Decodes the first image of `bytes` in premultiplied 32-bit ARGB, with its EXIF orientation
// applied. With `within` set, a larger picture is decoded straight at the size that fits it
// (aspect kept; a JPEG decoder then reads far less). Nothing for bytes that are not an image,
// truncated data that yields no picture, empty pictures and pictures over kMaxPixels (the last
// is logged).
std::optional<QImage> decode(const QByteArray& bytes, QSize within = {});

// The same, read from a regular file of at most kMaxFileBytes as the decoder needs it;
// nothing, with the reason in `error`, for anything else.
std::optional<QImage> decodeFile(const QString& path, QSize within = {}, QString* error = nullptr);

} // namespace ImageDecoding
