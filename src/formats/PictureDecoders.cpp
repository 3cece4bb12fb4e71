// The PCX and TGA readers: small formats, read here rather than through an image plugin so that
// an 8-bit picture keeps its palette, colour-mapped TGA included, the same on every system.
#include "base/Failure.h"
#include "formats/PictureFile.h"

#include <QtEndian>

#include <cstring>

namespace quorrel {
namespace {

constexpr int kLargestSide = 8192; // a bound on what a hostile header can make us allocate

struct Reader {
    QByteArrayView bytes;
    const char* format;

    quint8 u8(qsizetype at) const { return quint8(bytes[at]); }
    quint16 u16(qsizetype at) const { return qFromLittleEndian<quint16>(bytes.data() + at); }
    [[noreturn]] void fail(const QString& reason) const {
        throw Failure::damaged(QLatin1String(format) + QStringLiteral(": ") + reason);
    }
    void need(qsizetype end, const char* what) const {
        if (end > bytes.size())
            fail(QStringLiteral("the file ends in its %1").arg(QLatin1String(what)));
    }
    void checkSize(qint64 width, qint64 height) const {
        if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide)
            fail(QStringLiteral("its size %1x%2 is no picture's").arg(width).arg(height));
    }
};

// The true-colour picture of an 8-bit one.
SourcePicture withColours(IndexedPicture indexed) {
    const qsizetype pixels = qsizetype(indexed.width) * indexed.height;
    Picture rgba{indexed.width, indexed.height, QByteArray(pixels * 4, Qt::Uninitialized)};
    for (qsizetype i = 0; i < pixels; ++i)
        std::memcpy(rgba.rgba.data() + 4 * i, indexed.palette[quint8(indexed.indices[i])].data(),
                    4);
    return {std::move(rgba), std::move(indexed)};
}

// Run-length coded PCX data, one byte at a time: a byte 0xC0 | n repeats the next byte n times.
QByteArray unpackPcx(const Reader& pcx, qsizetype from, qsizetype to, qsizetype size) {
    QByteArray out(size, Qt::Uninitialized);
    qsizetype at = from, filled = 0;
    while (filled < size) {
        if (at >= to)
            pcx.fail(QStringLiteral("its pixels end early"));
        quint8 value = pcx.u8(at++);
        qsizetype count = 1;
        if ((value & 0xC0) == 0xC0) {
            count = value & 0x3F;
            if (at >= to)
                pcx.fail(QStringLiteral("its pixels end early"));
            value = pcx.u8(at++);
        }
        count = std::min(count, size - filled);
        std::memset(out.data() + filled, value, size_t(count));
        filled += count;
    }
    return out;
}

// A TGA colour as stored: B, G, R (and A when it has alpha bits), or 16 bits of A RRRRR GGGGG
// BBBBB.
Colour tgaColour(const Reader& tga, qsizetype at, int bits, int alphaBits) {
    if (bits <= 16) {
        const quint16 v = tga.u16(at);
        const auto wide = [](int five) { return quint8(five << 3 | five >> 2); };
        return {wide(v >> 10 & 31), wide(v >> 5 & 31), wide(v & 31),
                quint8(bits == 16 && alphaBits == 1 && !(v & 0x8000) ? 0 : 255)};
    }
    return {tga.u8(at + 2), tga.u8(at + 1), tga.u8(at),
            quint8(bits == 32 && alphaBits > 0 ? tga.u8(at + 3) : 255)};
}

} // namespace

SourcePicture decodePcx(QByteArrayView bytes) {
    const Reader pcx{bytes, "PCX"};
    pcx.need(128, "header");
    if (pcx.u8(0) != 0x0A)
        pcx.fail(QStringLiteral("the header's mark is missing"));
    if (pcx.u8(2) != 1)
        pcx.fail(QStringLiteral("its pixels are not run-length coded"));
    const int bits = pcx.u8(3), planes = pcx.u8(65), perLine = pcx.u16(66);
    const int width = int(pcx.u16(8)) - pcx.u16(4) + 1, height = int(pcx.u16(10)) - pcx.u16(6) + 1;
    pcx.checkSize(width, height);
    if (bits != 8 || (planes != 1 && planes != 3))
        pcx.fail(QStringLiteral("%1 bits in %2 planes; only 8-bit and 24-bit pictures are read")
                     .arg(bits)
                     .arg(planes));
    if (perLine < width)
        pcx.fail(
            QStringLiteral("a line of %1 bytes cannot hold %2 pixels").arg(perLine).arg(width));
    const qsizetype line = qsizetype(perLine) * planes;
    if (planes == 1) {
        // The palette: 0x0C, then 256 colours of red, green and blue, at the end of the file.
        pcx.need(128 + 769, "palette");
        const qsizetype paletteAt = bytes.size() - 768;
        if (pcx.u8(paletteAt - 1) != 0x0C)
            pcx.fail(QStringLiteral("its palette is missing"));
        const QByteArray data = unpackPcx(pcx, 128, paletteAt - 1, line * height);
        IndexedPicture indexed{width, height, QByteArray(qsizetype(width) * height, '\0'), {}};
        for (int i = 0; i < 256; ++i)
            indexed.palette.append({pcx.u8(paletteAt + 3 * i), pcx.u8(paletteAt + 3 * i + 1),
                                    pcx.u8(paletteAt + 3 * i + 2), 255});
        for (int y = 0; y < height; ++y)
            std::memcpy(indexed.indices.data() + qsizetype(y) * width, data.constData() + y * line,
                        size_t(width));
        return withColours(std::move(indexed));
    }
    // 24-bit: each line holds its red, then its green, then its blue plane.
    const QByteArray data = unpackPcx(pcx, 128, bytes.size(), line * height);
    Picture rgba{width, height, QByteArray(qsizetype(width) * height * 4, Qt::Uninitialized)};
    auto* out = reinterpret_cast<uchar*>(rgba.rgba.data());
    for (int y = 0; y < height; ++y) {
        const auto* in = reinterpret_cast<const uchar*>(data.constData()) + y * line;
        for (int x = 0; x < width; ++x, out += 4) {
            out[0] = in[x];
            out[1] = in[perLine + x];
            out[2] = in[2 * perLine + x];
            out[3] = 255;
        }
    }
    return {std::move(rgba), std::nullopt};
}

SourcePicture decodeTga(QByteArrayView bytes) {
    const Reader tga{bytes, "TGA"};
    tga.need(18, "header");
    const int type = tga.u8(2), depth = tga.u8(16), descriptor = tga.u8(17);
    const int mapFirst = tga.u16(3), mapLength = tga.u16(5), mapEntryBits = tga.u8(7);
    const int width = tga.u16(12), height = tga.u16(14);
    tga.checkSize(width, height);
    const bool rle = type >= 9, mapped = type % 8 == 1, grey = type % 8 == 3;
    if (type % 8 < 1 || type % 8 > 3 || (type > 3 && type < 9) || type > 11)
        tga.fail(QStringLiteral("its image type %1 is not one this tool reads").arg(type));
    if ((mapped || grey) ? depth != 8 : depth != 15 && depth != 16 && depth != 24 && depth != 32)
        tga.fail(QStringLiteral("%1-bit pixels of image type %2").arg(depth).arg(type));
    if (mapped && (tga.u8(1) != 1 || mapFirst + mapLength > 256 || mapLength == 0))
        tga.fail(QStringLiteral("its colour map is not one of at most 256 colours"));
    const int alphaBits = descriptor & 0x0F;

    qsizetype at = 18 + tga.u8(0);
    QList<Colour> palette;
    if (tga.u8(1) == 1) { // a colour map, read for a mapped picture and skipped otherwise
        const int entry = (mapEntryBits + 7) / 8;
        if (entry < 2 || entry > 4)
            tga.fail(QStringLiteral("its colour map has %1-bit entries").arg(mapEntryBits));
        tga.need(at + qsizetype(mapLength) * entry, "colour map");
        palette.fill({0, 0, 0, 255}, mapFirst);
        for (int i = 0; i < mapLength; ++i)
            palette.append(tgaColour(tga, at + qsizetype(i) * entry, mapEntryBits, alphaBits));
        at += qsizetype(mapLength) * entry;
    }

    // Each pixel's bytes, unpacked from runs where the picture is run-length coded.
    const int pixelBytes = (depth + 7) / 8;
    const qsizetype pixels = qsizetype(width) * height, size = pixels * pixelBytes;
    QByteArray data;
    if (!rle) {
        tga.need(at + size, "pixels");
        data = bytes.sliced(at, size).toByteArray();
    } else {
        data = QByteArray(size, Qt::Uninitialized);
        for (qsizetype filled = 0; filled < size;) {
            tga.need(at + 1, "pixels");
            const int header = tga.u8(at++);
            const qsizetype count =
                std::min<qsizetype>((header & 0x7F) + 1, (size - filled) / pixelBytes);
            const qsizetype read = header & 0x80 ? pixelBytes : count * pixelBytes;
            tga.need(at + read, "pixels");
            for (qsizetype i = 0; i < count; ++i)
                std::memcpy(data.data() + filled + i * pixelBytes,
                            bytes.data() + at + (header & 0x80 ? 0 : i * pixelBytes),
                            size_t(pixelBytes));
            at += read;
            filled += count * pixelBytes;
        }
    }
    const Reader unpacked{data, "TGA"};
    // Rows are stored from the bottom unless the descriptor says from the top.
    const auto stored = [&](int x, int y) {
        const int row = descriptor & 0x20 ? y : height - 1 - y;
        const int column = descriptor & 0x10 ? width - 1 - x : x;
        return (qsizetype(row) * width + column) * pixelBytes;
    };
    if (mapped) {
        IndexedPicture indexed{width, height, QByteArray(pixels, Qt::Uninitialized), palette};
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const int index = unpacked.u8(stored(x, y));
                if (index < mapFirst || index >= palette.size())
                    tga.fail(
                        QStringLiteral("a pixel's colour %1 is not in its colour map").arg(index));
                indexed.indices[qsizetype(y) * width + x] = char(index);
            }
        }
        return withColours(std::move(indexed));
    }
    Picture rgba{width, height, QByteArray(pixels * 4, Qt::Uninitialized)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const qsizetype from = stored(x, y);
            const quint8 g = unpacked.u8(from);
            const Colour colour =
                grey ? Colour{g, g, g, 255} : tgaColour(unpacked, from, depth, alphaBits);
            std::memcpy(rgba.rgba.data() + (qsizetype(y) * width + x) * 4, colour.data(), 4);
        }
    }
    return {std::move(rgba), std::nullopt};
}

} // namespace quorrel
