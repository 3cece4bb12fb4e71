#pragma once

#include "PackageBuilder.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

#include <cmath>
#include <tuple>

// The packages the benchmarks run on, made by the tests' package builder.
namespace benchpkg {

// `count` short names in all. The mesh's own name comes after a few thousand others, and a few
// thousand palettes follow it, so about 97.5% of the names are pictures of Many_Names.utx.
inline QByteArray nameHeavyPackage(int count) {
    QList<QByteArray> names;
    names.reserve(count);
    const int before = count / 50, palettes = count / 200;
    for (int i = 0; i < before; ++i)
        names << "Before" + QByteArray::number(i);
    names << "Many_Names";
    for (int i = 0; i < palettes; ++i)
        names << "Palette" + QByteArray::number(i);
    for (int i = before + palettes + 1; i < count; ++i) {
        const QByteArray key = QByteArray::number(qint64(i) * 7919 % count, 36);
        // Some faces, so the INT text carries descriptions as real skins do.
        names << (i % 8 ? "P" + key : "Skin4" + key);
    }
    return testpkg::package(names);
}

// A name table of a few hundred skin names, then random binary data up to `size`, with the stop
// marker as its last bytes but one. The data holds no stop marker of its own; unless
// `keepNameEnds`, it holds no name-end marker either, so the walk crosses it without taking a name.
// Random data has an accidental name-end about every 16 MiB, each making one huge "name".
inline QByteArray randomTailPackage(qsizetype size, bool keepNameEnds) {
    QList<QByteArray> names{"None", "Big_Skin"};
    for (int i = 0; i < 500; ++i)
        names << "Skin" + QByteArray::number(i) + "4Face";
    QByteArray bytes = testpkg::package(names, QByteArray());
    QRandomGenerator random(64);
    const qsizetype start = bytes.size();
    bytes.resize(size - 3);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data() + start),
                     (bytes.size() - start) / qsizetype(sizeof(quint32)));
    for (qsizetype i = start; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == '\x40' && bytes[i + 1] == '\x04')
            bytes[i + 1] = '\x05';
        if (!keepNameEnds && i + 3 < bytes.size() && bytes[i] == 0 && bytes[i + 1] == '\x10' &&
            bytes[i + 3] == '\x07')
            bytes[i + 3] = '\x08';
    }
    return bytes + testpkg::kStopMarker + '\0';
}

// `count` P8 textures of `side` x `side` with every mip down to 1x1, on eight shared palettes, at
// version 69: a skin author's biggest package, as the game view opens it.
inline QByteArray texturePackage(int count, quint32 side) {
    QRandomGenerator random(18);
    QList<testpkg::Mip> mips;
    for (quint32 s = side; s > 0; s /= 2) {
        QByteArray pixels(qsizetype(s) * s, Qt::Uninitialized);
        for (char& pixel : pixels)
            pixel = char(random.bounded(256));
        mips.append({s, s, pixels});
    }
    QList<testpkg::Object> objects;
    for (int p = 0; p < 8; ++p)
        objects << testpkg::palette("Palette" + QByteArray::number(p), QByteArray(256 * 4, '\x7F'));
    for (int i = 0; i < count; ++i) {
        objects << testpkg::texture("Skin" + QByteArray::number(i),
                                    testpkg::textureTags(0, "Palette" + QByteArray::number(i % 8)),
                                    {mips});
    }
    return testpkg::realPackage(objects);
}

// Two skins of a soldier with faces, portraits and a team colour, in colourful 64x64 pictures, at
// version 69: what the screenshots show the game view with.
inline QByteArray skinShowcasePackage() {
    QByteArray colours; // 64 levels each of grey, orange, yellow and blue
    for (int i = 0; i < 256; ++i) {
        const int level = (i % 64) * 4;
        const int rgb[4][3] = {{level, level, level},
                               {level, level / 2, 0},
                               {level, level, level / 4},
                               {level / 4, level / 2, level}};
        for (int c = 0; c < 3; ++c)
            colours += char(rgb[i / 64][c]);
        colours += '\0';
    }
    // Stripes, spots or a face in the ramp `base` (64 levels from it).
    auto picture = [](int base, int pattern) {
        QByteArray pixels(64 * 64, Qt::Uninitialized);
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 64; ++x) {
                int shade = 40 + (x + y) % 20;
                if (pattern == 0 && (x + y / 2) % 12 < 4)
                    shade = 4; // stripes
                if (pattern == 1 && (x % 16 - 8) * (x % 16 - 8) + (y % 16 - 8) * (y % 16 - 8) < 12)
                    shade = 8; // spots
                if (pattern == 2 && ((x - 32) * (x - 32) + (y - 32) * (y - 32) > 28 * 28 ||
                                     ((x - 22) * (x - 22) + (y - 24) * (y - 24) < 16) ||
                                     ((x - 42) * (x - 42) + (y - 24) * (y - 24) < 16) ||
                                     (y > 40 && y < 44 && x > 22 && x < 42)))
                    shade = 6; // a face
                pixels[y * 64 + x] = char(base + shade);
            }
        }
        return QList<QList<testpkg::Mip>>{{{64, 64, pixels}}};
    };
    const auto tags = testpkg::textureTags(0, "SkinPalette");
    QList<testpkg::Object> objects{testpkg::palette("SkinPalette", colours)};
    for (const auto& [group, base, pattern] :
         {std::tuple<QByteArray, int, int>{"Tigr", 64, 0}, {"Leop", 128, 1}}) {
        for (char slot : {'1', '2', '3', '4'})
            objects << testpkg::texture(group + slot, tags, picture(base, pattern));
        for (const QByteArray& face : {QByteArray("Malcolm"), QByteArray("Ann")}) {
            objects << testpkg::texture(group + '4' + face, tags, picture(base, 2));
            objects << testpkg::texture(group + '5' + face, tags, picture(192, 2));
        }
    }
    objects << testpkg::texture("Tigr1T_1", tags, picture(192, 0));
    return testpkg::realPackage(objects);
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A player model's package: the mesh Xeno, a ball of 1,000 faces in four bands, one skin slot
// each.
inline QByteArray ballModelPackage() {
    const int rings = 25, segments = 20;
    testpkg::Mesh ball;
    for (int r = 0; r <= rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            const double a = 3.14159265 * r / rings, b = 2 * 3.14159265 * s / segments;
            ball.vertices << testpkg::packed(int(400 * std::sin(a) * std::cos(b)),
                                             int(400 * std::sin(a) * std::sin(b)),
                                             int(450 * std::cos(a)));
            ball.wedges.append(
                {quint16(r * segments + s), quint16(s * 255 / segments), quint16(r * 255 / rings)});
        }
    }
    ball.verticesPerFrame = qint32(ball.vertices.size());
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            const auto at = [&](int ring, int segment) {
                return quint16(ring * segments + segment % segments);
            };
            const quint16 band = quint16(r * 4 / rings);
            ball.faces.append({at(r, s), at(r + 1, s), at(r + 1, s + 1), band});
            ball.faces.append({at(r, s), at(r + 1, s + 1), at(r, s + 1), band});
        }
    }
    ball.materials = {{0, 0}, {0, 1}, {0, 2}, {0, 3}};
    return testpkg::realPackage({{"Xeno", "LodMesh", "Engine", [ball](const testpkg::Refs& refs) {
                                      return testpkg::meshData(ball, refs);
                                  }}});
}

// A game folder: the model Xeno (System/Xeno.u, its player class in Xeno.int) and `count` skin
// packages XenoSkins_NNNN.utx, each of one skin: four 256x256 textures with every mip, a team
// texture, two faces and their 64x64 portraits, about 620 KB; each with the .int --complete
// writes. The pictures are stripes and noise in each package's own colours.
inline bool writeGameFolder(const QString& folder, int count) {
    const QDir game(folder);
    if (!game.mkpath(QStringLiteral("System")) || !game.mkpath(QStringLiteral("Textures")) ||
        !writeFile(game.filePath(QStringLiteral("System/Xeno.u")), ballModelPackage()) ||
        !writeFile(game.filePath(QStringLiteral("System/Xeno.int")),
                   "[public]\r\nObject=(Name=Xeno.XenoPlayer,Class=Class,"
                   "MetaClass=Botpack.TournamentPlayer,Description=\"Xeno\")\r\n"))
        return false;
    QRandomGenerator random(600);
    auto mips = [&](quint32 side, bool all) {
        QList<testpkg::Mip> chain;
        for (quint32 s = side; s > 0 && (all || s == side); s /= 2) {
            QByteArray pixels(qsizetype(s) * s, Qt::Uninitialized);
            for (quint32 y = 0; y < s; ++y) {
                for (quint32 x = 0; x < s; ++x)
                    pixels[y * s + x] = char((x + y) * 8 / s % 2 * 128 + random.bounded(96));
            }
            chain.append({s, s, pixels});
        }
        return QList<QList<testpkg::Mip>>{chain};
    };
    const auto big = mips(256, true), small = mips(64, false);
    for (int i = 0; i < count; ++i) {
        const QByteArray group = 'x' + QByteArray::number(i, 36).rightJustified(3, '0');
        const QByteArray name = "XenoSkins_" + group;
        QByteArray colours; // a ramp of this package's own colour
        const int rgb[3] = {64 + i * 67 % 192, 64 + i * 131 % 192, 64 + i * 29 % 192};
        for (int level = 0; level < 256; ++level) {
            for (const int c : rgb)
                colours += char(c * level / 255);
            colours += '\0';
        }
        const auto tags = testpkg::textureTags(0, "Skin");
        QList<testpkg::Object> objects{testpkg::palette("Skin", colours)};
        for (const QByteArray slot : {"1", "2", "3", "4", "1T_0", "4Bob", "4Ann"})
            objects << testpkg::texture(group + slot, tags, big);
        for (const QByteArray face : {"5Bob", "5Ann"})
            objects << testpkg::texture(group + face, tags, small);
        auto line = [&](const QByteArray& texture, const QByteArray& description = {}) {
            return "Object=(Name=" + name + '.' + group + texture + ",Class=Texture" +
                   (description.isEmpty() ? QByteArray() : ",Description=\"" + description + '"') +
                   ")\r\n";
        };
        const QByteArray intText = "[public]\r\n\r\n" + line("1", "Skin " + group) + line("2") +
                                   line("3") + line("4") + line("1T_0") + line("4Bob", "Bob") +
                                   line("4Ann", "Ann") + line("5Bob") + line("5Ann");
        if (!writeFile(game.filePath("Textures/" + QString::fromLatin1(name) + ".utx"),
                       testpkg::realPackage(objects)) ||
            !writeFile(game.filePath("System/" + QString::fromLatin1(name) + ".int"), intText))
            return false;
    }
    return true;
}

} // namespace benchpkg
