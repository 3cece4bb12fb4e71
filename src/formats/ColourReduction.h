#pragma once

#include "base/Picture.h"

#include <QByteArray>
#include <QList>

#include <array>

namespace quorrel {

using Colour = std::array<quint8, 4>; // red, green, blue, alpha

// A picture as the game's P8 textures store it: one palette index a pixel.
struct IndexedPicture {
    int width = 0;
    int height = 0;
    QByteArray indices;    // width * height palette indices, rows from the top
    QList<Colour> palette; // at most 256 colours
};

// Reduces a picture to at most 256 colours, without dithering. A picture of 256 colours or fewer
// (255 opaque ones when masked) keeps them exactly. The palette is in the order of first use,
// reading the pixels from the top left; it holds only colours that some pixel uses (and index 0
// when masked).
//
// The game draws an unmasked texture opaque, so alpha counts only when `masked`: then index 0 is
// the transparent colour (the mean of the transparent pixels, alpha 0), every pixel of alpha below
// 128 gets index 0, and no other pixel does, which leaves 255 colours for the opaque ones. Every
// other palette colour has alpha 255. A null picture, or one whose bytes fall short of its size,
// gives a null one.
IndexedPicture reduceColours(const Picture& picture, bool masked);

} // namespace quorrel
