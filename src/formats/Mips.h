#pragma once

#include "formats/ColourReduction.h"

#include <QList>

namespace quorrel {

// The mip levels of a texture: mip 0 first, each next level half the last in each direction
// (never below 1) down to 1x1, all in mip 0's palette. A pixel of the next level is the mean of
// its 2x2 block (2x1 or 1x2 where a side is already 1), rounded, then the nearest palette colour.
// When `masked`, a block of more than half transparent pixels stays transparent (index 0), any
// other takes the mean of its opaque pixels alone, and no opaque pixel gets index 0. The game's
// sizes are powers of two; an odd side drops its last row or column.
QList<IndexedPicture> makeMips(const IndexedPicture& mip0, bool masked);

} // namespace quorrel
