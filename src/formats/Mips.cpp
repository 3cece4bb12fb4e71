#include "formats/Mips.h"

#include "formats/NearestColour.h"

#include <algorithm>
#include <array>

namespace quorrel {

namespace {

// The nearest colours of the means met so far: the same means come back again and again, where the
// picture is flat above all.
class Remembered {
public:
    explicit Remembered(const NearestColour& nearest) : m_nearest(nearest) {}

    quint8 find(int red, int green, int blue, int guess) {
        const quint32 colour = quint32(red) << 16 | quint32(green) << 8 | quint32(blue);
        const quint32 slot = (colour * 2654435761u) >> 20;
        if (m_colours[slot] != colour + 1) {
            m_colours[slot] = colour + 1;
            m_found[slot] = quint8(m_nearest.find(float(red), float(green), float(blue), guess));
        }
        return m_found[slot];
    }

private:
    const NearestColour& m_nearest;
    std::array<quint32, 4096> m_colours{}; // each colour plus 1, 0 where none yet
    std::array<quint8, 4096> m_found{};
};

IndexedPicture halve(const IndexedPicture& from, bool masked, Remembered& nearest) {
    IndexedPicture to;
    to.width = std::max(from.width / 2, 1);
    to.height = std::max(from.height / 2, 1);
    to.palette = from.palette;
    to.indices.resize(qsizetype(to.width) * to.height);
    const int across = from.width > 1 ? 2 : 1;
    const int down = from.height > 1 ? 2 : 1;
    const auto* source = reinterpret_cast<const quint8*>(from.indices.constData());
    auto* target = reinterpret_cast<quint8*>(to.indices.data());
    for (int y = 0; y < to.height; ++y) {
        for (int x = 0; x < to.width; ++x) {
            int sum[3] = {0, 0, 0};
            int opaque = 0;
            for (int dy = 0; dy < down; ++dy) {
                for (int dx = 0; dx < across; ++dx) {
                    const quint8 index =
                        source[qsizetype(y * down + dy) * from.width + x * across + dx];
                    if (masked && index == 0)
                        continue;
                    const Colour& c = from.palette[index];
                    for (int i = 0; i < 3; ++i)
                        sum[i] += c[i];
                    ++opaque;
                }
            }
            quint8& pixel = target[qsizetype(y) * to.width + x];
            if (2 * opaque < across * down) {
                pixel = 0;
                continue;
            }
            const auto mean = [&](int i) { return (sum[i] + opaque / 2) / opaque; };
            // A block's mean is mostly near its first pixel's colour.
            const int guess = source[qsizetype(y * down) * from.width + x * across];
            pixel = nearest.find(mean(0), mean(1), mean(2), guess);
        }
    }
    return to;
}

} // namespace

QList<IndexedPicture> makeMips(const IndexedPicture& mip0, bool masked) {
    QList<IndexedPicture> mips{mip0};
    if (mip0.width <= 0 || mip0.height <= 0)
        return mips;
    const NearestColour search(mip0.palette, masked);
    Remembered nearest(search);
    while (mips.last().width > 1 || mips.last().height > 1)
        mips.append(halve(mips.last(), masked, nearest));
    return mips;
}

} // namespace quorrel
