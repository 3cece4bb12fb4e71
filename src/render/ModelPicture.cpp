#include "render/ModelPicture.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace quorrel {
namespace {

constexpr double kHalfFieldOfView = 15.0 * std::numbers::pi / 180.0;
constexpr float kAmbient = 0.35f, kDiffuse = 0.65f;
constexpr double kMargin = 1.05; // a little room around the model

struct Projected {
    float x, y;  // pixel position
    float w;     // 1 / depth
    float u, v;  // texture position, divided by depth
    float depth; // distance in front of the viewer
};

struct Texture {
    const uchar* rgba = nullptr;
    int width = 0, height = 0;
};

// Turns the model about its upright axis and looks at it from its front: view X right, Y up,
// Z away from the viewer.
struct View {
    float centre[3];
    float cosYaw, sinYaw;
    float distance;
    float focal; // pixels per unit of X / Z
    float halfWidth, halfHeight;

    std::array<float, 3> toView(const MeshPoint& p) const {
        const float x = p.x - centre[0], y = p.y - centre[1], z = p.z - centre[2];
        const float turnedX = x * cosYaw - y * sinYaw, turnedY = x * sinYaw + y * cosYaw;
        // The model faces +X, towards the viewer; its right (+Y) is the viewer's left.
        return {-turnedY, z, distance - turnedX};
    }
};

View viewFor(const QList<MeshTriangle>& triangles, int width, int height, double yawDegrees) {
    float low[3] = {INFINITY, INFINITY, INFINITY}, high[3] = {-INFINITY, -INFINITY, -INFINITY};
    for (const MeshTriangle& triangle : triangles) {
        for (const MeshPoint& p : triangle.corners) {
            const float c[3] = {p.x, p.y, p.z};
            for (int i = 0; i < 3; ++i) {
                low[i] = std::min(low[i], c[i]);
                high[i] = std::max(high[i], c[i]);
            }
        }
    }
    View view{};
    for (int i = 0; i < 3; ++i)
        view.centre[i] = triangles.isEmpty() ? 0.0f : (low[i] + high[i]) / 2;
    // The same fit at every yaw: the circle the model sweeps when it turns, and its height.
    double radius = 0;
    for (const MeshTriangle& triangle : triangles) {
        for (const MeshPoint& p : triangle.corners)
            radius = std::max(
                radius, std::hypot(double(p.x - view.centre[0]), double(p.y - view.centre[1])));
    }
    const double halfHeight = triangles.isEmpty() ? 0.0 : (high[2] - low[2]) / 2.0;
    const double tanX = std::tan(kHalfFieldOfView), tanY = tanX * height / width;
    const double reach = std::max({radius / tanX, halfHeight / tanY, 1.0});
    view.distance = float(radius + reach * kMargin);
    const double yaw = yawDegrees * std::numbers::pi / 180.0;
    view.cosYaw = float(std::cos(yaw));
    view.sinYaw = float(std::sin(yaw));
    view.halfWidth = width / 2.0f;
    view.halfHeight = height / 2.0f;
    view.focal = float(view.halfWidth / tanX);
    return view;
}

// Lights a face by its normal in view space, the light coming from over the viewer's left
// shoulder. Two-sided faces seen from behind are lit as seen from the front.
float lightFor(const std::array<float, 3> c[3]) {
    const float ax = c[1][0] - c[0][0], ay = c[1][1] - c[0][1], az = c[1][2] - c[0][2];
    const float bx = c[2][0] - c[0][0], by = c[2][1] - c[0][1], bz = c[2][2] - c[0][2];
    float nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    const float length = std::sqrt(nx * nx + ny * ny + nz * nz);
    if (length == 0)
        return kAmbient;
    nx /= length;
    ny /= length;
    nz /= length;
    if (nz > 0) { // facing away: only two-sided faces get here
        nx = -nx;
        ny = -ny;
        nz = -nz;
    }
    constexpr float lx = -0.45f, ly = 0.55f, lz = -0.70f; // towards the light, about unit length
    return kAmbient + kDiffuse * std::max(0.0f, nx * lx + ny * ly + nz * lz);
}

class Raster {
public:
    Raster(Picture& picture)
        : m_width(picture.width), m_height(picture.height),
          m_pixels(reinterpret_cast<uchar*>(picture.rgba.data())),
          m_depth(size_t(picture.width) * size_t(picture.height), 0.0f) {}

    // Fills the pixels whose centres lie inside the triangle, nearer than what is there. Seen from
    // the front, a face's corners run clockwise on the screen.
    void fill(const Projected (&p)[3], const Texture& texture, bool masked, bool twoSided,
              float light) {
        const float area =
            (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[2].x - p[0].x) * (p[1].y - p[0].y);
        if (!(std::abs(area) > 1e-12f) || !std::isfinite(area) || (area < 0 && !twoSided))
            return;
        // Clamped as floats: a cast of a float beyond int's range is undefined.
        const auto pixelAt = [](float low, int limit) {
            return low <= 0 ? 0 : int(std::min(std::floor(low), float(limit)));
        };
        const int left = pixelAt(std::min({p[0].x, p[1].x, p[2].x}), m_width);
        const int top = pixelAt(std::min({p[0].y, p[1].y, p[2].y}), m_height);
        const int right =
            std::min(m_width - 1, pixelAt(std::ceil(std::max({p[0].x, p[1].x, p[2].x})), m_width));
        const int bottom = std::min(
            m_height - 1, pixelAt(std::ceil(std::max({p[0].y, p[1].y, p[2].y})), m_height));
        if (left > right || top > bottom)
            return;
        // Edge functions, each the weight of the corner opposite, stepped per pixel.
        const float inverse = 1.0f / area;
        float stepX[3], stepY[3], start[3];
        for (int k = 0; k < 3; ++k) {
            const Projected& a = p[(k + 1) % 3];
            const Projected& b = p[(k + 2) % 3];
            stepX[k] = (a.y - b.y) * inverse;
            stepY[k] = (b.x - a.x) * inverse;
            start[k] =
                ((b.x - a.x) * (top + 0.5f - a.y) - (b.y - a.y) * (left + 0.5f - a.x)) * inverse;
        }
        const auto along = [&](float Projected::*field, const float* weights) {
            return weights[0] * (p[0].*field) + weights[1] * (p[1].*field) +
                   weights[2] * (p[2].*field);
        };
        const float dwX = along(&Projected::w, stepX), dwY = along(&Projected::w, stepY);
        const float duX = along(&Projected::u, stepX), duY = along(&Projected::u, stepY);
        const float dvX = along(&Projected::v, stepX), dvY = along(&Projected::v, stepY);
        float rowW = along(&Projected::w, start), rowU = along(&Projected::u, start),
              rowV = along(&Projected::v, start);
        const int shade = int(light * 256);
        for (int y = top; y <= bottom; ++y) {
            float e0 = start[0], e1 = start[1], e2 = start[2];
            float w = rowW, u = rowU, v = rowV;
            float* depth = m_depth.data() + size_t(y) * size_t(m_width);
            uchar* pixel = m_pixels + (size_t(y) * size_t(m_width)) * 4;
            for (int x = left; x <= right; ++x) {
                if (e0 >= 0 && e1 >= 0 && e2 >= 0 && w > depth[x]) {
                    const float z = 1.0f / w;
                    const uchar* texel = sample(texture, u * z, v * z);
                    if (!masked || texel[3] != 0) {
                        depth[x] = w;
                        uchar* out = pixel + size_t(x) * 4;
                        out[0] = uchar(std::min(255, texel[0] * shade >> 8));
                        out[1] = uchar(std::min(255, texel[1] * shade >> 8));
                        out[2] = uchar(std::min(255, texel[2] * shade >> 8));
                        out[3] = 255;
                    }
                }
                e0 += stepX[0];
                e1 += stepX[1];
                e2 += stepX[2];
                w += dwX;
                u += duX;
                v += dvX;
            }
            for (int k = 0; k < 3; ++k)
                start[k] += stepY[k];
            rowW += dwY;
            rowU += duY;
            rowV += dvY;
        }
    }

private:
    // Nearest texel, clamped to the edges; as floats first, so that no value is out of range.
    static int texel(float at, int size) {
        const float scaled = at * float(size);
        return scaled >= 0 ? int(std::min(scaled, float(size - 1))) : 0;
    }

    static const uchar* sample(const Texture& texture, float u, float v) {
        const int x = texel(u, texture.width), y = texel(v, texture.height);
        return texture.rgba + (size_t(y) * size_t(texture.width) + size_t(x)) * 4;
    }

    int m_width, m_height;
    uchar* m_pixels;
    std::vector<float> m_depth; // 1 / depth of what each pixel shows; 0: nothing yet
};

} // namespace

Picture drawModel(const QList<MeshTriangle>& triangles, const std::array<Picture, 4>& skins,
                  int width, int height, double yawDegrees) {
    Picture picture;
    if (width <= 0 || height <= 0)
        return picture;
    picture.width = width;
    picture.height = height;
    picture.rgba = QByteArray(qsizetype(width) * height * 4, '\0');

    static const uchar missing[4] = {kMissingSlotColour[0], kMissingSlotColour[1],
                                     kMissingSlotColour[2], 255};
    std::array<Texture, 4> textures;
    for (size_t i = 0; i < textures.size(); ++i) {
        const Picture& skin = skins[i];
        if (!skin.isNull() && skin.rgba.size() >= qsizetype(skin.width) * skin.height * 4)
            textures[i] = {reinterpret_cast<const uchar*>(skin.rgba.constData()), skin.width,
                           skin.height};
        else
            textures[i] = {missing, 1, 1};
    }
    const Texture flat{missing, 1, 1};

    const View view = viewFor(triangles, width, height, yawDegrees);
    Raster raster(picture);
    for (const MeshTriangle& triangle : triangles) {
        std::array<float, 3> corners[3];
        Projected projected[3];
        for (int k = 0; k < 3; ++k) {
            corners[k] = view.toView(triangle.corners[k]);
            const float w = 1.0f / corners[k][2];
            projected[k] = {view.halfWidth + corners[k][0] * view.focal * w,
                            view.halfHeight - corners[k][1] * view.focal * w,
                            w,
                            triangle.uv[2 * k] * w,
                            triangle.uv[2 * k + 1] * w,
                            corners[k][2]};
        }
        // Damaged meshes may hold points that are no numbers or lie behind the viewer.
        if (std::any_of(std::begin(projected), std::end(projected), [](const Projected& p) {
                return !(p.depth > 0) || !std::isfinite(p.x) || !std::isfinite(p.y) ||
                       !std::isfinite(p.w) || !std::isfinite(p.u) || !std::isfinite(p.v);
            }))
            continue;
        const bool known = triangle.slot >= 0 && triangle.slot < 4;
        raster.fill(projected, known ? textures[size_t(triangle.slot)] : flat, triangle.masked,
                    triangle.twoSided, lightFor(corners));
    }
    return picture;
}

} // namespace quorrel
