#pragma once

#include "PackageBuilder.h"

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>
#include <QString>

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

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace benchpkg
