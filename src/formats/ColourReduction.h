#pragma once

#include "base/Picture.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <vector>

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

// Finds the nearest of a set of colours, by squared distance over red, green and blue; on a tie,
// the lowest index. Sorting the colours along their main direction lets a search stop as soon as
// that direction alone puts the rest farther than the best so far: a few tries, not 256.
class NearestColour {
public:
    // `skipFirst`: index 0 is never found (the transparent colour of a masked palette).
    explicit NearestColour(const QList<Colour>& palette, bool skipFirst = false);
    // Colours with fractions, as a palette is while it is refined.
    explicit NearestColour(const std::vector<std::array<float, 3>>& points);

    // The index of the nearest colour, or -1 when there is none to find. A `guess` at it, such as
    // the answer for a colour close by, speeds the search up; a wrong one costs little.
    int find(float red, float green, float blue, int guess = -1) const;

    // The nearest colour and its squared distance, and the squared distance to the next nearest
    // (infinite when there is none): how far a colour is from another choice.
    struct Nearest {
        int index = -1;
        float distance = 0;
        float next = 0;
    };
    Nearest findTwo(float red, float green, float blue, int guess = -1) const;

private:
    struct Entry {
        float key; // the position along m_axis
        float red, green, blue;
        int index;
    };

    void sortEntries();
    template <bool kTwo> Nearest search(float red, float green, float blue, int guess) const;

    std::array<float, 3> m_axis{};
    std::vector<Entry> m_entries;
    std::vector<int> m_place; // each index's place in m_entries, or -1
};

} // namespace quorrel
