#pragma once

#include "base/Picture.h"
#include "formats/ColourReduction.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QStringView>

#include <optional>

// Pictures as image files: the author's pictures read, and pictures written as PNG.
namespace quorrel {

// A picture as its file holds it.
struct SourcePicture {
    Picture rgba; // every pixel, in true colour
    // An 8-bit picture's own palette, in its order (each colour's alpha as the file gives it), and
    // its pixels' indices; nothing for a true-colour picture.
    std::optional<IndexedPicture> indexed;
};

// The picture in `bytes`, a file of the kind its name's extension says (PNG, BMP, TGA or PCX, in
// any case). Throws Failure: Refused for another kind, Damaged for a file that cannot be read, with
// the reason.
SourcePicture decodePicture(QByteArrayView bytes, QStringView fileName);

// A PCX file: 8-bit with its palette, or 24-bit, run-length coded. Throws Failure (Damaged).
SourcePicture decodePcx(QByteArrayView bytes);

// A TGA file: colour-mapped (8-bit), true colour (15, 16, 24 or 32 bits) or grey, plain or
// run-length coded. Throws Failure (Damaged).
SourcePicture decodeTga(QByteArrayView bytes);

// The picture as an image, alpha included; null for a null picture.
QImage imageOf(const Picture& picture);

// The picture as a PNG file: with an alpha channel only when some pixel is not opaque. Throws
// Failure (NotWritten) when it cannot be encoded.
QByteArray pngBytes(const Picture& picture);

} // namespace quorrel
