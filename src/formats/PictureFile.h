#pragma once

#include "base/Picture.h"

#include <QByteArray>
#include <QImage>

// Pictures as image files and Qt images.
namespace quorrel {

// The picture as an image, alpha included; null for a null picture.
QImage imageOf(const Picture& picture);

// The picture as a PNG file: with an alpha channel only when some pixel is not opaque. Throws
// Failure (NotWritten) when it cannot be encoded.
QByteArray pngBytes(const Picture& picture);

} // namespace quorrel
