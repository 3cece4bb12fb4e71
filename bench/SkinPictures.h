#pragma once

// Skin-like pictures the benchmarks paint: 256x256 true colour, softened to about 17,000 colours
// as a skin author's true-colour work is.
#include "base/Picture.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <vector>

namespace skinpictures {

using quorrel::Picture;

constexpr int kSide = 256;
constexpr int kColoursAfter = 17000;

// The same numbers everywhere, unlike the standard distributions.
class Random {
public:
    explicit Random(quint64 seed) : m_state(seed) {}
    quint64 next() {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    float uniform() { return float(next() >> 40) / float(1 << 24); }
    float between(float lo, float hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return int(next() % quint64(n)); }

private:
    quint64 m_state;
};

using Rgb = std::array<float, 3>;

// Smooth noise in [0, 1]: random values on a lattice of `cell` pixels, blended smoothly.
class ValueNoise {
public:
    ValueNoise(Random& random, float cell) : m_cell(cell) {
        for (float& v : m_lattice)
            v = random.uniform();
    }
    float at(float x, float y) const {
        const float u = x / m_cell, v = y / m_cell;
        const int i = int(std::floor(u)), j = int(std::floor(v));
        const auto ease = [](float t) { return t * t * (3 - 2 * t); };
        const float fu = ease(u - float(i)), fv = ease(v - float(j));
        const auto lattice = [this](int a, int b) { return m_lattice[(a & 63) * 64 + (b & 63)]; };
        const float top = lattice(i, j) + (lattice(i + 1, j) - lattice(i, j)) * fu;
        const float bottom = lattice(i, j + 1) + (lattice(i + 1, j + 1) - lattice(i, j + 1)) * fu;
        return top + (bottom - top) * fv;
    }

private:
    float m_cell;
    std::array<float, 64 * 64> m_lattice{};
};

inline Rgb fromHsv(float hue, float saturation, float value) {
    const float h = std::fmod(hue, 1.0f) * 6;
    const int sector = int(h);
    const float f = h - float(sector);
    const float p = value * (1 - saturation), q = value * (1 - saturation * f),
                t = value * (1 - saturation * (1 - f));
    switch (sector) {
    case 0:
        return {value, t, p};
    case 1:
        return {q, value, p};
    case 2:
        return {p, value, t};
    case 3:
        return {p, q, value};
    case 4:
        return {t, p, value};
    default:
        return {value, p, q};
    }
}

// A skin-like painting in floats: a shaded background, cloth, armour and camouflage panels with
// dark seams, and round shaded studs; then kept to 32 levels a channel, as painted art holds few
// colours before it is softened.
inline std::vector<Rgb> paint(int number) {
    Random random(0x5EED0000u + quint64(number));
    std::vector<Rgb> pixels(kSide * kSide);
    const float hue = random.uniform();
    const Rgb ground = fromHsv(hue, random.between(0.1f, 0.5f), random.between(0.2f, 0.5f));
    const ValueNoise grain(random, 24);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            const float shade =
                0.7f + 0.5f * float(y) / kSide + 0.2f * grain.at(float(x), float(y));
            for (int c = 0; c < 3; ++c)
                pixels[y * kSide + x][c] = ground[c] * shade;
        }
    }
    const int panels = 5 + random.below(5);
    for (int n = 0; n < panels; ++n) {
        const int w = 40 + random.below(120), h = 40 + random.below(120);
        const int left = random.below(kSide - w), top = random.below(kSide - h);
        const int kind = random.below(4);
        const Rgb base = fromHsv(hue + random.between(-0.15f, 0.15f) + (n % 3 == 2 ? 0.5f : 0),
                                 random.between(0.2f, 0.9f), random.between(0.3f, 0.95f));
        const Rgb second =
            fromHsv(random.uniform(), random.between(0.3f, 0.8f), random.between(0.2f, 0.7f));
        const ValueNoise blobs(random, random.between(6, 20));
        const float weave = random.between(0.8f, 2.0f);
        const bool round = random.below(3) == 0;
        for (int y = top; y < top + h; ++y) {
            for (int x = left; x < left + w; ++x) {
                const float u = float(x - left) / float(w), v = float(y - top) / float(h);
                if (round && (u - 0.5f) * (u - 0.5f) + (v - 0.5f) * (v - 0.5f) > 0.25f)
                    continue;
                // Lit like a limb: brightest down its middle.
                float shade = 0.45f + 0.65f * std::sin(std::numbers::pi_v<float> * u);
                shade *= 0.85f + 0.3f * (1 - v);
                Rgb colour = base;
                if (kind == 0) { // cloth: a weave and some wear
                    shade *= 0.9f +
                             0.08f * std::sin(float(x) * weave) * std::sin(float(y) * weave) +
                             0.1f * blobs.at(float(x), float(y));
                } else if (kind == 1) { // armour: smooth dents and a highlight
                    shade *= 0.85f + 0.25f * blobs.at(float(x), float(y));
                    const float gloss = std::exp(-std::pow((u - 0.35f) * 9, 2.0f));
                    for (float& c : colour)
                        c += (1 - c) * 0.6f * gloss;
                } else if (kind == 2) { // camouflage
                    if (blobs.at(float(x), float(y)) > 0.55f)
                        colour = second;
                }
                const bool seam =
                    x - left < 2 || left + w - x <= 2 || y - top < 2 || top + h - y <= 2;
                for (int c = 0; c < 3; ++c)
                    pixels[y * kSide + x][c] = colour[c] * shade * (seam ? 0.45f : 1.0f);
            }
        }
    }
    const int studs = random.below(12);
    const Rgb metal = fromHsv(random.uniform(), random.between(0, 0.4f), 0.8f);
    for (int n = 0; n < studs; ++n) {
        const float cx = random.between(8, kSide - 8), cy = random.between(8, kSide - 8);
        const float r = random.between(3, 9);
        for (int y = int(cy - r); y <= int(cy + r); ++y) {
            for (int x = int(cx - r); x <= int(cx + r); ++x) {
                const float dx = (float(x) - cx) / r, dy = (float(y) - cy) / r;
                if (dx * dx + dy * dy > 1)
                    continue;
                const float dz = std::sqrt(1 - dx * dx - dy * dy);
                const float light = 0.25f + 0.75f * std::max(0.0f, (-dx - dy + dz) / 1.732f);
                for (int c = 0; c < 3; ++c)
                    pixels[y * kSide + x][c] = metal[c] * light;
            }
        }
    }
    for (Rgb& p : pixels) {
        for (float& c : p)
            c = std::round(std::clamp(c, 0.0f, 1.0f) * 31) * (255.0f / 31);
    }
    return pixels;
}

// A Gaussian blur of `sigma` (wrapping round, as a texture tiles), then noise of a grey level at
// most, each pixel its own: the smoothing of a true-colour original.
inline Picture soften(const std::vector<Rgb>& pixels, float sigma, quint64 seed) {
    const int radius = std::max(1, int(std::ceil(3 * sigma)));
    std::vector<float> kernel(2 * radius + 1);
    float total = 0;
    for (int i = -radius; i <= radius; ++i)
        total += kernel[i + radius] = std::exp(-float(i * i) / (2 * sigma * sigma));
    for (float& k : kernel)
        k /= total;
    std::vector<Rgb> across(pixels.size()), both(pixels.size());
    const auto blur = [&](const std::vector<Rgb>& from, std::vector<Rgb>& to, int dx, int dy) {
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                Rgb sum{0, 0, 0};
                for (int i = -radius; i <= radius; ++i) {
                    const Rgb& p =
                        from[((y + i * dy) & (kSide - 1)) * kSide + ((x + i * dx) & (kSide - 1))];
                    for (int c = 0; c < 3; ++c)
                        sum[c] += kernel[i + radius] * p[c];
                }
                to[y * kSide + x] = sum;
            }
        }
    };
    blur(pixels, across, 1, 0);
    blur(across, both, 0, 1);
    Random random(seed);
    Picture picture{kSide, kSide, QByteArray(kSide * kSide * 4, char(255))};
    for (int i = 0; i < kSide * kSide; ++i) {
        for (int c = 0; c < 3; ++c) {
            const float noisy = both[i][c] + random.between(-1, 1);
            picture.rgba[4 * i + c] = char(std::clamp(std::lround(noisy), 0L, 255L));
        }
    }
    return picture;
}

inline int countColours(const Picture& picture) {
    std::vector<quint32> colours;
    for (qsizetype i = 0; i < picture.rgba.size(); i += 4)
        colours.push_back(quint32(quint8(picture.rgba[i])) << 16 |
                          quint32(quint8(picture.rgba[i + 1])) << 8 | quint8(picture.rgba[i + 2]));
    std::sort(colours.begin(), colours.end());
    return int(std::unique(colours.begin(), colours.end()) - colours.begin());
}

// The blur that brings the picture nearest to 17,000 colours.
inline Picture softenToTarget(const std::vector<Rgb>& pixels, quint64 seed) {
    float lo = 0.3f, hi = 3.0f;
    for (int step = 0; step < 12; ++step) {
        const float mid = (lo + hi) / 2;
        (countColours(soften(pixels, mid, seed)) < kColoursAfter ? lo : hi) = mid;
    }
    return soften(pixels, (lo + hi) / 2, seed);
}

} // namespace skinpictures
