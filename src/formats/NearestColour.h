#pragma once

#include "formats/ColourReduction.h"

#include <QList>

#include <array>
#include <optional>
#include <vector>

namespace quorrel {

// Finds the nearest of a set of colours, by squared distance over red, green and blue; on a tie,
// the lowest index. Sorting the colours along their main direction lets a search stop as soon as
// that direction alone puts the rest farther than the best so far: a few tries, not 256.
class NearestColour {
public:
    // `skipFirst`: index 0 is never found (the transparent colour of a masked palette).
    explicit NearestColour(const QList<Colour>& palette, bool skipFirst = false);
    // Colours with fractions, as a palette is while it is refined.
    explicit NearestColour(const std::vector<std::array<float, 3>>& points);

    // The index of the nearest colour; the set must hold one. A `guess` at it, such as the answer
    // for a colour close by, speeds the search up; a wrong one costs little.
    int find(float red, float green, float blue, std::optional<int> guess = std::nullopt) const;

    // The nearest colour and its squared distance, and the squared distance to the next nearest
    // (infinite when there is none): how far a colour is from another choice.
    struct Nearest {
        int index = 0;
        float distance = 0;
        float next = 0;
    };
    Nearest findTwo(float red, float green, float blue,
                    std::optional<int> guess = std::nullopt) const;

private:
    struct Entry {
        float key; // the position along m_axis
        float red, green, blue;
        int index;
    };

    void sortEntries();
    template <bool kTwo>
    Nearest search(float red, float green, float blue, std::optional<int> guess) const;

    std::array<float, 3> m_axis{};
    std::vector<Entry> m_entries;
    std::vector<int> m_place; // each index's place in m_entries, or -1
};

} // namespace quorrel
