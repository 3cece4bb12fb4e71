#include "formats/NearestColour.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quorrel {

NearestColour::NearestColour(const QList<Colour>& palette, bool skipFirst) {
    for (qsizetype i = skipFirst ? 1 : 0; i < palette.size(); ++i) {
        const Colour& c = palette[i];
        m_entries.push_back({0, float(c[0]), float(c[1]), float(c[2]), int(i)});
    }
    sortEntries();
}

NearestColour::NearestColour(const std::vector<std::array<float, 3>>& points) {
    for (std::size_t i = 0; i < points.size(); ++i)
        m_entries.push_back({0, points[i][0], points[i][1], points[i][2], int(i)});
    sortEntries();
}

// The main direction is the covariance's leading eigenvector, by a few power steps from grey.
void NearestColour::sortEntries() {
    if (m_entries.empty())
        return;
    double mean[3] = {0, 0, 0};
    for (const Entry& e : m_entries) {
        mean[0] += e.red;
        mean[1] += e.green;
        mean[2] += e.blue;
    }
    for (double& m : mean)
        m /= double(m_entries.size());
    double cov[3][3] = {};
    for (const Entry& e : m_entries) {
        const double d[3] = {e.red - mean[0], e.green - mean[1], e.blue - mean[2]};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                cov[r][c] += d[r] * d[c];
    }
    double axis[3] = {1, 1, 1};
    for (int step = 0; step < 16; ++step) {
        double next[3];
        for (int r = 0; r < 3; ++r)
            next[r] = cov[r][0] * axis[0] + cov[r][1] * axis[1] + cov[r][2] * axis[2];
        const double length = std::sqrt(next[0] * next[0] + next[1] * next[1] + next[2] * next[2]);
        if (length < 1e-9)
            break;
        for (int r = 0; r < 3; ++r)
            axis[r] = next[r] / length;
    }
    const double length = std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
    for (int r = 0; r < 3; ++r)
        m_axis[r] = float(axis[r] / length);
    for (Entry& e : m_entries)
        e.key = e.red * m_axis[0] + e.green * m_axis[1] + e.blue * m_axis[2];
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) {
        return a.key < b.key || (a.key == b.key && a.index < b.index);
    });
    for (std::size_t place = 0; place < m_entries.size(); ++place) {
        const int index = m_entries[place].index;
        if (index >= int(m_place.size()))
            m_place.resize(index + 1, -1);
        m_place[index] = int(place);
    }
}

int NearestColour::find(float red, float green, float blue, std::optional<int> guess) const {
    Q_ASSERT(!m_entries.empty());
    return search<false>(red, green, blue, guess).index;
}

NearestColour::Nearest NearestColour::findTwo(float red, float green, float blue,
                                              std::optional<int> guess) const {
    return search<true>(red, green, blue, guess);
}

// Walks out both ways along the axis, from the guess or else from the query's place. The distance
// along the axis is at most the full distance, so a side is done once that alone is more than the
// best (or the next best, for two); the half is room for rounding in the keys, which the integer
// distances of a palette do not have. From a guess, the side towards the query cannot stop short
// of it: every entry it passed is at least as far along the axis, so no nearer.
template <bool kTwo>
NearestColour::Nearest NearestColour::search(float red, float green, float blue,
                                             std::optional<int> guess) const {
    const float key = red * m_axis[0] + green * m_axis[1] + blue * m_axis[2];
    const int count = int(m_entries.size());
    constexpr float kFar = std::numeric_limits<float>::infinity();
    Nearest best{0, kFar, kFar};
    const auto consider = [&](const Entry& e) {
        const float r = e.red - red, g = e.green - green, b = e.blue - blue;
        const float d = r * r + g * g + b * b;
        if (d < best.distance || (d == best.distance && e.index < best.index)) {
            best.next = best.distance;
            best.distance = d;
            best.index = e.index;
        } else if (d < best.next) {
            best.next = d;
        }
    };
    int up, down;
    if (guess && *guess >= 0 && *guess < int(m_place.size()) && m_place[*guess] >= 0) {
        up = m_place[*guess];
        consider(m_entries[up]);
        down = up - 1;
        ++up;
    } else {
        up = int(std::lower_bound(m_entries.begin(), m_entries.end(), key,
                                  [](const Entry& e, float k) { return e.key < k; }) -
                 m_entries.begin());
        down = up - 1;
    }
    while (up < count || down >= 0) {
        const float reach = (kTwo ? best.next : best.distance) + 0.5f;
        if (up < count) {
            const float along = m_entries[up].key - key;
            if (along * along > reach)
                up = count;
            else
                consider(m_entries[up++]);
        }
        if (down >= 0) {
            const float along = key - m_entries[down].key;
            if (along * along > reach)
                down = -1;
            else
                consider(m_entries[down--]);
        }
    }
    return best;
}

} // namespace quorrel
