#include "formats/Texture.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"
#include "formats/PackageObject.h"

#include <QHash>
#include <QSet>
#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

namespace quorrel {
namespace {

constexpr qint32 kMostMips = 16;
constexpr quint32 kLargestSide = 4096;
constexpr std::size_t kMostColours = 256;
// From this version each mip starts with the position its pixels end at; version 62 has it in
// some packages and not in others.
constexpr quint16 kMipEndVersion = 63;

enum Format { P8 = 0, RGB16 = 2, DXT1 = 3, RGBA8 = 5 };

using Rgba = std::array<uchar, 4>;
using Palette = std::array<Rgba, kMostColours>;

struct Mip {
    qsizetype pixelsAt = 0;
    qint32 byteCount = 0;
    int width = 0;
    int height = 0;
};

// What the decoder needs of a texture, read without touching its pixels.
struct Layout {
    int format = 0;
    bool masked = false;
    qint32 palette = 0;
    QList<Mip> mips;

    bool hasPixels() const { return mips.first().byteCount > 0; }
};

// The bytes a mip of this format and size takes; nothing for a format this tool cannot decode. DXT1
// takes a whole 4x4 block even for a 2x2 or 1x1 mip.
std::optional<qint64> bytesNeeded(int format, qint64 width, qint64 height) {
    switch (format) {
    case P8:
        return width * height;
    case RGB16:
        return width * height * 2;
    case RGBA8:
        return width * height * 4;
    case DXT1:
        return (width + 3) / 4 * ((height + 3) / 4) * 8;
    default:
        return std::nullopt;
    }
}

QString unsupported(int format) {
    return QStringLiteral("unsupported format %1").arg(format);
}

QString noPixels() {
    return QStringLiteral("no stored pixels: the game draws it at run time");
}

// At version 62 the end field counts as there only when it points where the pixels end.
bool mipEndFits(PackageCursor cursor) {
    try {
        const quint32 end = cursor.u32("a mip's end");
        const qint32 count = cursor.compact("a mip's byte count");
        return count >= 0 && qint64(end) == qint64(cursor.at()) + count;
    } catch (const Failure&) {
        return false;
    }
}

QList<Mip> readMips(PackageCursor& cursor, quint16 version) {
    const qsizetype at = cursor.at();
    const qint32 count = cursor.compact("the mip count");
    if (count < 1 || count > kMostMips)
        throw Failure::damaged(QStringLiteral("the mip count %1 at byte %2 is not 1 to %3")
                                   .arg(count)
                                   .arg(at)
                                   .arg(kMostMips));
    QList<Mip> mips;
    for (qint32 i = 0; i < count; ++i) {
        const bool hasEnd =
            version >= kMipEndVersion || (version == kMipEndVersion - 1 && mipEndFits(cursor));
        const quint32 end = hasEnd ? cursor.u32("a mip's end") : 0;
        Mip mip;
        mip.byteCount = cursor.compact("a mip's byte count");
        if (mip.byteCount < 0)
            throw Failure::damaged(QStringLiteral("mip %1 has a negative byte count").arg(i));
        mip.pixelsAt = cursor.at();
        cursor.take(mip.byteCount, "a mip's pixels");
        if (hasEnd && end != quint64(cursor.at()))
            throw Failure::damaged(
                QStringLiteral("mip %1 says its pixels end at byte %2, but they end at byte %3")
                    .arg(i)
                    .arg(end)
                    .arg(cursor.at()));
        const quint32 width = cursor.u32("a mip's width");
        const quint32 height = cursor.u32("a mip's height");
        cursor.take(2, "a mip's size bits");
        if (width < 1 || width > kLargestSide || height < 1 || height > kLargestSide)
            throw Failure::damaged(QStringLiteral("mip %1 is %2x%3 pixels; a side must be 1 to %4")
                                       .arg(i)
                                       .arg(width)
                                       .arg(height)
                                       .arg(kLargestSide));
        mip.width = int(width);
        mip.height = int(height);
        mips.append(mip);
    }
    return mips;
}

// Fills `layout` as far as it gets, so a failure still leaves what was read.
void readLayout(QByteArrayView package, const PackageTables& tables, const PackageExport& object,
                Layout& layout) {
    PackageCursor cursor = objectCursor(package, object);
    const QList<Property> properties = readProperties(cursor, tables, object);
    layout.format = propertyNumber(package, properties, u"Format", 0);
    layout.masked = propertyFlag(properties, u"bMasked");
    layout.palette = propertyNumber(package, properties, u"Palette", 0);
    layout.mips = readMips(cursor, tables.version);
    if (propertyFlag(properties, u"bHasComp"))
        readMips(cursor, tables.version); // a compressed copy the renderer may use; never shown
    if (!layout.hasPixels())
        return;
    for (qsizetype i = 0; i < layout.mips.size(); ++i) {
        const Mip& mip = layout.mips[i];
        const std::optional<qint64> needed = bytesNeeded(layout.format, mip.width, mip.height);
        if (needed && *needed > mip.byteCount)
            throw Failure::damaged(
                QStringLiteral("mip %1 (%2x%3) holds %4 bytes of the %5 its format needs")
                    .arg(i)
                    .arg(mip.width)
                    .arg(mip.height)
                    .arg(mip.byteCount)
                    .arg(*needed));
    }
}

// The palette's colours, opaque; those past its count are black.
Palette readPalette(QByteArrayView package, const PackageTables& tables, qint32 reference) {
    if (reference == 0)
        throw Failure::damaged(QStringLiteral("it has no palette"));
    if (reference < -tables.imports.size() || reference > tables.exports.size())
        throw Failure::damaged(
            QStringLiteral("its palette is object %1, which does not exist").arg(reference));
    if (reference < 0) {
        const PackageImport& palette = tables.imports[-qsizetype(reference) - 1];
        const qint32 outer = palette.package;
        const QString where = outer < 0   ? tables.imports[-qsizetype(outer) - 1].objectName
                              : outer > 0 ? tables.exports[outer - 1].objectName
                                          : QStringLiteral("another package");
        throw Failure::damaged(
            QStringLiteral("its palette %1 is in %2, which this file does not hold")
                .arg(palette.objectName, where));
    }
    const PackageExport& object = tables.exports[reference - 1];
    if (!sameIgnoringCase(object.className, u"Palette"))
        throw Failure::damaged(QStringLiteral("its palette %1 is of class %2")
                                   .arg(object.objectName, object.className));
    PackageCursor cursor = objectCursor(package, object);
    readProperties(cursor, tables, object);
    const qint32 count = cursor.compact("the palette's colour count");
    if (count < 1 || std::size_t(count) > kMostColours)
        throw Failure::damaged(QStringLiteral("its palette %1 has %2 colours, not 1 to %3")
                                   .arg(object.objectName)
                                   .arg(count)
                                   .arg(kMostColours));
    const uchar* colours = cursor.take(qsizetype(count) * 4, "the palette's colours");
    Palette palette;
    palette.fill({0, 0, 0, 255});
    for (qint32 i = 0; i < count; ++i) // R, G, B, and a byte the game ignores
        palette[i] = {colours[4 * i], colours[4 * i + 1], colours[4 * i + 2], 255};
    return palette;
}

// Red in the top five bits; each channel widened by repeating its top bits.
Rgba from565(quint16 colour) {
    const int r = colour >> 11, g = (colour >> 5) & 0x3F, b = colour & 0x1F;
    return {uchar(r << 3 | r >> 2), uchar(g << 2 | g >> 4), uchar(b << 3 | b >> 2), 255};
}

void decodeDxt1(const uchar* in, int width, int height, bool masked, uchar* out) {
    const int blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
    for (int by = 0; by < blocksHigh; ++by) {
        for (int bx = 0; bx < blocksWide; ++bx, in += 8) {
            const quint16 c0 = qFromLittleEndian<quint16>(in);
            const quint16 c1 = qFromLittleEndian<quint16>(in + 2);
            const quint32 selectors = qFromLittleEndian<quint32>(in + 4);
            std::array<Rgba, 4> colours{from565(c0), from565(c1), Rgba{}, Rgba{}};
            for (int c = 0; c < 3; ++c) {
                const int a = colours[0][c], b = colours[1][c];
                colours[2][c] = uchar(c0 > c1 ? (2 * a + b) / 3 : (a + b) / 2);
                colours[3][c] = uchar(c0 > c1 ? (a + 2 * b) / 3 : 0);
            }
            colours[2][3] = 255;
            colours[3][3] = c0 <= c1 && masked ? 0 : 255;
            for (int y = 0; y < 4; ++y) {
                for (int x = 0; x < 4; ++x) {
                    const int px = bx * 4 + x, py = by * 4 + y;
                    if (px < width && py < height)
                        std::memcpy(out + (qsizetype(py) * width + px) * 4,
                                    colours[(selectors >> (2 * (4 * y + x))) & 3].data(), 4);
                }
            }
        }
    }
}

void decode(QByteArrayView package, const PackageTables& tables, const Layout& layout,
            const Mip& mip, uchar* out) {
    const auto* in = reinterpret_cast<const uchar*>(package.data()) + mip.pixelsAt;
    const qsizetype pixels = qsizetype(mip.width) * mip.height;
    switch (layout.format) {
    case P8: {
        Palette palette = readPalette(package, tables, layout.palette);
        if (layout.masked)
            palette[0][3] = 0;
        for (qsizetype i = 0; i < pixels; ++i)
            std::memcpy(out + 4 * i, palette[in[i]].data(), 4);
        break;
    }
    case RGB16:
        for (qsizetype i = 0; i < pixels; ++i)
            std::memcpy(out + 4 * i, from565(qFromLittleEndian<quint16>(in + 2 * i)).data(), 4);
        break;
    case RGBA8: // stored B, G, R, A
        for (qsizetype i = 0; i < pixels; ++i, in += 4, out += 4) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
            out[3] = in[3];
        }
        break;
    case DXT1:
        decodeDxt1(in, mip.width, mip.height, layout.masked, out);
        break;
    default:
        throw Failure::damaged(unsupported(layout.format));
    }
}

} // namespace

bool isTextureClass(QStringView className) {
    static constexpr QStringView classes[] = {u"Texture",     u"ScriptedTexture", u"FractalTexture",
                                              u"FireTexture", u"IceTexture",      u"WaterTexture",
                                              u"WaveTexture", u"WetTexture"};
    return std::any_of(std::begin(classes), std::end(classes),
                       [&](QStringView name) { return sameIgnoringCase(name, className); });
}

QList<qsizetype> textureExports(const PackageTables& tables) {
    QList<qsizetype> textures;
    QSet<QString> seen;
    for (qsizetype i = 0; i < tables.exports.size(); ++i) {
        const PackageExport& object = tables.exports[i];
        if (!isTextureClass(object.className))
            continue;
        const QString key = caseKey(object.objectName);
        if (!seen.contains(key)) {
            seen.insert(key);
            textures.append(i);
        }
    }
    return textures;
}

QStringList textureNames(const PackageTables& tables) {
    QStringList textures;
    for (const qsizetype i : textureExports(tables))
        textures.append(tables.exports[i].objectName);
    return textures;
}

QString textureFormatName(int format) {
    switch (format) {
    case P8:
        return QStringLiteral("P8");
    case DXT1:
        return QStringLiteral("DXT1");
    case RGBA8:
        return QStringLiteral("RGBA8");
    case RGB16:
        return QStringLiteral("RGB16");
    default:
        return QStringLiteral("format %1").arg(format);
    }
}

QList<TextureInfo> readTextures(QByteArrayView package, const PackageTables& tables) {
    QList<TextureInfo> textures;
    QHash<qint32, QString> paletteFailures; // palettes are shared: each is read once
    for (const qsizetype index : textureExports(tables)) {
        const PackageExport& object = tables.exports[index];
        TextureInfo info;
        info.exportIndex = index;
        info.name = object.objectName;
        info.className = object.className;
        Layout layout;
        try {
            readLayout(package, tables, object, layout);
            info.hasPixels = layout.hasPixels();
            if (!info.hasPixels) {
                info.failure = noPixels();
            } else if (!bytesNeeded(layout.format, 1, 1)) {
                info.failure = unsupported(layout.format);
            } else if (layout.format == P8) {
                const auto known = paletteFailures.constFind(layout.palette);
                if (known != paletteFailures.cend()) {
                    info.failure = *known;
                } else {
                    try {
                        readPalette(package, tables, layout.palette);
                    } catch (const Failure& failure) {
                        info.failure = failure.text();
                    }
                    paletteFailures.insert(layout.palette, info.failure);
                }
            }
        } catch (const Failure& failure) {
            info.failure = failure.text();
        }
        info.format = layout.format;
        info.formatName = textureFormatName(layout.format);
        info.masked = layout.masked;
        info.mipCount = int(layout.mips.size());
        if (!layout.mips.isEmpty()) {
            info.width = layout.mips.first().width;
            info.height = layout.mips.first().height;
        }
        textures.append(info);
    }
    return textures;
}

Picture decodeTexture(QByteArrayView package, const PackageTables& tables, qsizetype exportIndex,
                      int largestSide) {
    if (exportIndex < 0 || exportIndex >= tables.exports.size() ||
        !isTextureClass(tables.exports[exportIndex].className))
        throw Failure::damaged(QStringLiteral("export %1 is not a texture").arg(exportIndex));
    Layout layout;
    readLayout(package, tables, tables.exports[exportIndex], layout);
    if (!layout.hasPixels())
        throw Failure::damaged(noPixels());
    const auto side = [&](qsizetype i) {
        return std::max(layout.mips[i].width, layout.mips[i].height);
    };
    qsizetype pick = 0; // the smallest mip at least that large, or mip 0
    for (qsizetype i = 0; largestSide > 0 && i < layout.mips.size(); ++i) {
        if (side(i) >= largestSide && (side(pick) < largestSide || side(i) < side(pick)))
            pick = i;
    }
    const Mip& mip = layout.mips[pick];
    Picture picture{mip.width, mip.height,
                    QByteArray(qsizetype(mip.width) * mip.height * 4, Qt::Uninitialized)};
    decode(package, tables, layout, mip, reinterpret_cast<uchar*>(picture.rgba.data()));
    return picture;
}

Picture namedTexture(QByteArrayView package, const PackageTables& tables, QStringView name,
                     int largestSide) {
    for (const qsizetype i : textureExports(tables)) {
        if (!sameIgnoringCase(tables.exports[i].objectName, name))
            continue;
        try {
            return decodeTexture(package, tables, i, largestSide);
        } catch (const Failure& failure) {
            throw Failure::damaged(
                QStringLiteral("the texture %1: %2").arg(name.toString(), failure.text()));
        }
    }
    return Picture();
}

} // namespace quorrel
