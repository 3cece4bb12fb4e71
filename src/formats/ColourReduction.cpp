#include "formats/ColourReduction.h"

#include "formats/NearestColour.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorrel {

namespace {

constexpr int kMostColours = 256;
// Rounds of refinement after the split: each moves every colour of the palette to the mean of the
// picture's colours nearest to it. Past eight they gain hundredths of a dB.
constexpr int kRounds = 8;
// The split works on a histogram of 5 bits a channel (33 cells a side, with the zero border the
// sums need); the refinement then works on the exact colours.
constexpr int kBits = 5;
constexpr int kSide = (1 << kBits) + 1;

using Point = std::array<float, 3>;

float distance(const Point& a, const Point& b) {
    const float red = a[0] - b[0], green = a[1] - b[1], blue = a[2] - b[2];
    return red * red + green * green + blue * blue;
}

// One of the picture's distinct colours.
struct Distinct {
    Point colour;
    float count;
    qsizetype firstPixel;
};

struct Census {
    std::vector<Distinct> colours;  // by value
    std::vector<int> ofPixel;       // each pixel's distinct colour; -1 for a transparent one
    Colour transparent{0, 0, 0, 0}; // the mean of the transparent pixels
};

// Sorts the pixels by colour (a radix sort on the 24 bits of red, green and blue, which keeps the
// pixel order among equal colours), then counts each run.
Census takeCensus(const Picture& picture, bool masked) {
    const qsizetype pixels = qsizetype(picture.width) * picture.height;
    const auto* rgba = reinterpret_cast<const quint8*>(picture.rgba.constData());
    Census census;
    census.ofPixel.assign(pixels, -1);
    std::vector<quint64> keys, sorted;
    keys.reserve(pixels);
    std::array<qint64, 3> clear{};
    qint64 clearCount = 0;
    for (qsizetype i = 0; i < pixels; ++i) {
        const quint8* p = rgba + 4 * i;
        if (masked && p[3] < 128) {
            for (int c = 0; c < 3; ++c)
                clear[c] += p[c];
            ++clearCount;
            continue;
        }
        const quint64 value = quint64(p[0]) << 16 | quint64(p[1]) << 8 | p[2];
        keys.push_back(value << 32 | quint64(i));
    }
    if (clearCount > 0) {
        for (int c = 0; c < 3; ++c)
            census.transparent[c] = quint8((clear[c] + clearCount / 2) / clearCount);
    }
    sorted.resize(keys.size());
    for (int shift = 32; shift < 56; shift += 8) {
        std::array<qsizetype, 257> start{};
        for (const quint64 key : keys)
            ++start[((key >> shift) & 0xFF) + 1];
        for (int b = 0; b < 256; ++b)
            start[b + 1] += start[b];
        for (const quint64 key : keys)
            sorted[start[(key >> shift) & 0xFF]++] = key;
        keys.swap(sorted);
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const quint32 value = quint32(keys[i] >> 32);
        const qsizetype pixel = qsizetype(keys[i] & 0xFFFFFFFF);
        if (i == 0 || value != quint32(keys[i - 1] >> 32)) {
            const Point colour{float(value >> 16), float((value >> 8) & 0xFF), float(value & 0xFF)};
            census.colours.push_back({colour, 0, pixel});
        }
        census.colours.back().count += 1;
        census.ofPixel[pixel] = int(census.colours.size() - 1);
    }
    return census;
}

// Sums over a block of histogram cells: the weight, the colours times it, their squares times it.
struct Moments {
    double weight = 0, red = 0, green = 0, blue = 0, squares = 0;

    Moments operator+(const Moments& o) const {
        return {weight + o.weight, red + o.red, green + o.green, blue + o.blue,
                squares + o.squares};
    }
    Moments operator-(const Moments& o) const {
        return {weight - o.weight, red - o.red, green - o.green, blue - o.blue,
                squares - o.squares};
    }
    // The weight times the squared length of the mean: what the block's spread leaves out of
    // `squares`.
    double explained() const { return (red * red + green * green + blue * blue) / weight; }
};

// The histogram cells (lo, hi] along each of red, green and blue.
struct Box {
    std::array<int, 3> lo{0, 0, 0};
    std::array<int, 3> hi{kSide - 1, kSide - 1, kSide - 1};
    double spread = 0; // the sum of squared distances to the mean, when it can still be cut
};

struct Split {
    std::vector<Point> means;
    std::vector<int> boxOf; // each distinct colour's box
};

// Wu's variance-based split: a histogram holds running sums in all three directions, so that the
// moments of any box come from its eight corners; the box of most spread is cut where the two
// halves' spreads add up least, until the palette is full.
class WuSplit {
public:
    explicit WuSplit(const std::vector<Distinct>& colours) : m_sums(kSide * kSide * kSide) {
        for (const Distinct& d : colours) {
            Moments& m = m_sums[cellOf(d)];
            const double count = d.count;
            m.weight += count;
            m.red += count * d.colour[0];
            m.green += count * d.colour[1];
            m.blue += count * d.colour[2];
            m.squares += count * distance(d.colour, {0, 0, 0});
        }
        for (const int step : {1, kSide, kSide * kSide}) {
            for (int i = 0; i < kSide * kSide * kSide; ++i) {
                if ((i / step) % kSide != 0)
                    m_sums[i] = m_sums[i] + m_sums[i - step];
            }
        }
    }

    // Cuts the colours into at most `count` boxes, none empty.
    Split split(const std::vector<Distinct>& colours, int count) const {
        std::vector<Box> boxes{Box{}};
        boxes[0].spread = spreadOf(boxes[0]);
        while (int(boxes.size()) < count) {
            const auto widest =
                std::max_element(boxes.begin(), boxes.end(),
                                 [](const Box& a, const Box& b) { return a.spread < b.spread; });
            if (widest->spread <= 0)
                break;
            Box other;
            if (!cut(*widest, other)) {
                widest->spread = 0;
                continue;
            }
            widest->spread = spreadOf(*widest);
            other.spread = spreadOf(other);
            boxes.push_back(other);
        }
        Split out;
        std::vector<int> boxOfCell(m_sums.size());
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            const Box& box = boxes[i];
            const Moments m = volume(box);
            out.means.push_back(
                {float(m.red / m.weight), float(m.green / m.weight), float(m.blue / m.weight)});
            for (int red = box.lo[0] + 1; red <= box.hi[0]; ++red) {
                for (int green = box.lo[1] + 1; green <= box.hi[1]; ++green) {
                    const int row = cell(red, green, 0);
                    std::fill(boxOfCell.begin() + row + box.lo[2] + 1,
                              boxOfCell.begin() + row + box.hi[2] + 1, int(i));
                }
            }
        }
        for (const Distinct& d : colours)
            out.boxOf.push_back(boxOfCell[cellOf(d)]);
        return out;
    }

private:
    static int cell(int red, int green, int blue) { return (red * kSide + green) * kSide + blue; }
    static int cellOf(const Distinct& d) {
        const auto at = [&d](int c) { return (int(d.colour[c]) >> (8 - kBits)) + 1; };
        return cell(at(0), at(1), at(2));
    }

    Moments volume(const Box& b) const {
        const auto at = [this](int red, int green, int blue) {
            return m_sums[cell(red, green, blue)];
        };
        return at(b.hi[0], b.hi[1], b.hi[2]) - at(b.hi[0], b.hi[1], b.lo[2]) -
               at(b.hi[0], b.lo[1], b.hi[2]) + at(b.hi[0], b.lo[1], b.lo[2]) -
               at(b.lo[0], b.hi[1], b.hi[2]) + at(b.lo[0], b.hi[1], b.lo[2]) +
               at(b.lo[0], b.lo[1], b.hi[2]) - at(b.lo[0], b.lo[1], b.lo[2]);
    }

    // A box of one cell is not cut: the refinement separates colours that close.
    double spreadOf(const Box& box) const {
        if (box.hi[0] - box.lo[0] + box.hi[1] - box.lo[1] + box.hi[2] - box.lo[2] <= 3)
            return 0;
        const Moments m = volume(box);
        return m.weight > 0 ? m.squares - m.explained() : 0;
    }

    // Cuts `box` where the halves explain the most, keeping the lower half in `box`; false when
    // every cut leaves a half empty.
    bool cut(Box& box, Box& upper) const {
        const Moments whole = volume(box);
        double best = -1;
        int bestAxis = -1, bestAt = 0;
        for (int axis = 0; axis < 3; ++axis) {
            for (int at = box.lo[axis] + 1; at < box.hi[axis]; ++at) {
                Box lower = box;
                lower.hi[axis] = at;
                const Moments low = volume(lower);
                const Moments high = whole - low;
                if (low.weight <= 0 || high.weight <= 0)
                    continue;
                const double explained = low.explained() + high.explained();
                if (explained > best) {
                    best = explained;
                    bestAxis = axis;
                    bestAt = at;
                }
            }
        }
        if (bestAxis < 0)
            return false;
        upper = box;
        upper.lo[bestAxis] = bestAt;
        box.hi[bestAxis] = bestAt;
        return true;
    }

    std::vector<Moments> m_sums;
};

quint8 toByte(float value) {
    return quint8(std::clamp(std::lround(value), 0L, 255L));
}

struct Clusters {
    std::vector<Point> centres; // whole numbers
    std::vector<int> nearest;   // each distinct colour's centre, the nearest of them
};

// k-means on the distinct colours, weighted by their counts: each colour goes to its nearest
// centre, each centre to the mean of its colours; last the centres are rounded to whole numbers and
// the colours go to their nearest once more. The split may give fewer than `room` centres (it
// cannot cut a histogram cell); the rest start where a centre would be unused.
//
// Searching is what costs, so each colour keeps Hamerly's bounds: at most `upper` from its centre,
// at least `lower` from any other. A centre's move widens them by as much; a colour is measured
// again only when they cross, or when it is farther than half the gap from its centre to the next.
Clusters refine(const std::vector<Distinct>& colours, const Split& start, int room) {
    std::vector<Point> centres = start.means;
    const std::size_t k = std::max(centres.size(), std::size_t(room));
    centres.resize(k, {0, 0, 0});
    const std::size_t n = colours.size();
    std::vector<int> nearest(n);
    std::vector<float> upper(n), lower(n);
    const auto measure = [&](const NearestColour& search, std::size_t i, int guess) {
        const Point& c = colours[i].colour;
        const NearestColour::Nearest found = search.findTwo(c[0], c[1], c[2], guess);
        nearest[i] = found.index;
        upper[i] = std::sqrt(found.distance);
        lower[i] = std::sqrt(found.next);
    };
    {
        const NearestColour search(start.means);
        for (std::size_t i = 0; i < n; ++i)
            measure(search, i, start.boxOf[i]);
    }
    // The centres the split did not give are in no lower bound yet.
    if (k > start.means.size())
        std::fill(lower.begin(), lower.end(), 0.0f);
    for (int round = 0;; ++round) {
        const bool last = round == kRounds;
        const std::vector<Point> before = centres;
        std::vector<std::array<double, 4>> sums(k, {0, 0, 0, 0});
        for (std::size_t i = 0; i < n; ++i) {
            auto& s = sums[nearest[i]];
            for (int c = 0; c < 3; ++c)
                s[c] += double(colours[i].count) * colours[i].colour[c];
            s[3] += colours[i].count;
        }
        std::vector<std::size_t> empty;
        for (std::size_t j = 0; j < k; ++j) {
            if (sums[j][3] > 0) {
                for (int c = 0; c < 3; ++c)
                    centres[j][c] = float(sums[j][c] / sums[j][3]);
            } else {
                empty.push_back(j);
            }
        }
        // An unused centre moves to the colour that costs the most where it is.
        if (!empty.empty()) {
            std::vector<std::pair<float, std::size_t>> costs;
            for (std::size_t i = 0; i < n; ++i) {
                const float cost =
                    colours[i].count * distance(colours[i].colour, centres[nearest[i]]);
                if (cost > 0)
                    costs.push_back({-cost, i});
            }
            const std::size_t moved = std::min(empty.size(), costs.size());
            std::partial_sort(costs.begin(), costs.begin() + qsizetype(moved), costs.end());
            for (std::size_t e = 0; e < moved; ++e)
                centres[empty[e]] = colours[costs[e].second].colour;
        }
        if (last) {
            for (Point& centre : centres) {
                for (float& c : centre)
                    c = float(toByte(c));
            }
        }

        std::vector<float> moved(k);
        std::size_t most = 0;
        for (std::size_t j = 0; j < k; ++j) {
            moved[j] = std::sqrt(distance(before[j], centres[j]));
            if (moved[j] > moved[most])
                most = j;
        }
        float secondMost = 0;
        for (std::size_t j = 0; j < k; ++j) {
            if (j != most)
                secondMost = std::max(secondMost, moved[j]);
        }
        const NearestColour search(centres);
        std::vector<float> halfGap(k);
        for (std::size_t j = 0; j < k; ++j) {
            const Point& c = centres[j];
            halfGap[j] = std::sqrt(search.findTwo(c[0], c[1], c[2], int(j)).next) / 2;
        }

        // The last round decides the palette index, so there a tie is searched out (the lower
        // index wins) and a rounding error in the bounds never keeps a colour where it was.
        const float margin = last ? 1e-3f : 0.0f;
        bool changed = false;
        for (std::size_t i = 0; i < n; ++i) {
            const int a = nearest[i];
            upper[i] += moved[a];
            lower[i] -= std::size_t(a) == most ? secondMost : moved[most];
            const float bound = std::max(halfGap[a], lower[i]) - margin;
            if (upper[i] <= bound)
                continue;
            upper[i] = std::sqrt(distance(colours[i].colour, centres[a]));
            if (upper[i] <= bound)
                continue;
            measure(search, i, a);
            changed = changed || nearest[i] != a;
        }
        if (last)
            break;
        if (!changed)
            round = kRounds - 1; // settled: on to the whole numbers
    }
    return {centres, nearest};
}

} // namespace

IndexedPicture reduceColours(const Picture& picture, bool masked) {
    if (picture.isNull() || picture.rgba.size() < qsizetype(picture.width) * picture.height * 4)
        return {};
    IndexedPicture out;
    out.width = picture.width;
    out.height = picture.height;
    const Census census = takeCensus(picture, masked);
    const int room = masked ? kMostColours - 1 : kMostColours;

    // The palette before ordering; each distinct colour's entry in it.
    std::vector<Point> centres;
    std::vector<int> entryOf(census.colours.size());
    if (int(census.colours.size()) <= room) {
        for (std::size_t i = 0; i < census.colours.size(); ++i) {
            centres.push_back(census.colours[i].colour);
            entryOf[i] = int(i);
        }
    } else {
        Clusters clusters =
            refine(census.colours, WuSplit(census.colours).split(census.colours, room), room);
        centres = std::move(clusters.centres);
        entryOf = std::move(clusters.nearest);
    }

    // Entries by first use; unused ones dropped.
    std::vector<qsizetype> firstUse(centres.size(), std::numeric_limits<qsizetype>::max());
    for (std::size_t i = 0; i < census.colours.size(); ++i)
        firstUse[entryOf[i]] = std::min(firstUse[entryOf[i]], census.colours[i].firstPixel);
    std::vector<int> order;
    for (std::size_t j = 0; j < centres.size(); ++j) {
        if (firstUse[j] != std::numeric_limits<qsizetype>::max())
            order.push_back(int(j));
    }
    std::sort(order.begin(), order.end(), [&](int a, int b) { return firstUse[a] < firstUse[b]; });
    std::vector<quint8> indexOf(centres.size(), 0);
    if (masked)
        out.palette.append(census.transparent);
    for (const int j : order) {
        indexOf[j] = quint8(out.palette.size());
        out.palette.append(
            {toByte(centres[j][0]), toByte(centres[j][1]), toByte(centres[j][2]), 255});
    }

    out.indices.resize(census.ofPixel.size());
    char* indices = out.indices.data();
    for (std::size_t p = 0; p < census.ofPixel.size(); ++p) {
        const int distinct = census.ofPixel[p];
        indices[p] = char(distinct < 0 ? 0 : indexOf[entryOf[distinct]]);
    }
    return out;
}

} // namespace quorrel
