#include "formats/PackageWriter.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"
#include "base/Windows1252.h"
#include "formats/Mips.h"

#include <QHash>
#include <QSet>
#include <QUuid>
#include <QtEndian>

#include <algorithm>
#include <bit>

namespace quorrel {
namespace {

constexpr quint32 kSignature = 0x9E2A83C1;
constexpr quint16 kVersion = 69;
constexpr quint32 kAllowDownload = 0x1; // the game may send the package to players who lack it
constexpr quint32 kTextureFlags = 0xF0004, kPaletteFlags = 0x70004;
constexpr int kLargestSide = 1024;
constexpr qsizetype kLongestName = 63;
constexpr int kPaletteSize = 256;
constexpr quint8 kLodSetSkin = 2; // the game's skin detail setting applies

// The property types, and the size codes of a tag's info byte.
enum Type : quint8 { Byte = 1, Int = 2, Bool = 3, Object = 5, Struct = 10 };

class Bytes {
public:
    QByteArray data;

    void u8(quint8 value) { data.append(char(value)); }
    void u32(quint32 value) {
        char le[4];
        qToLittleEndian(value, le);
        data.append(le, 4);
    }
    void compact(qint32 value) {
        quint32 left = value < 0 ? quint32(-qint64(value)) : quint32(value);
        quint8 first = quint8((value < 0 ? 0x80 : 0) | (left & 0x3F));
        left >>= 6;
        u8(quint8(first | (left ? 0x40 : 0)));
        while (left) {
            const quint8 next = quint8(left & 0x7F);
            left >>= 7;
            u8(quint8(next | (left ? 0x80 : 0)));
        }
    }
    void append(QByteArrayView bytes) { data.append(bytes); }
    qsizetype size() const { return data.size(); }
};

QByteArray compacted(qint32 value) {
    Bytes bytes;
    bytes.compact(value);
    return bytes.data;
}

// The names every package of textures holds, in the order the game's editor writes them, with
// the flags it gives them.
struct FixedName {
    const char* text;
    quint32 flags;
};
constexpr FixedName kFixedNames[] = {
    {"None", 0x4070410},  {"Color", 0x4070410},   {"Palette", 0x70010},  {"UBits", 0x70010},
    {"UClamp", 0x70010},  {"USize", 0x70010},     {"VSize", 0x70010},    {"VBits", 0x70010},
    {"VClamp", 0x70010},  {"MipZero", 0x70010},   {"MaxColor", 0x70010}, {"LODSet", 0x70010},
    {"bMasked", 0x70010}, {"Texture", 0x4070010}, {"Class", 0x4070410},  {"Engine", 0x4070010},
    {"Core", 0x4070010},  {"Package", 0x4070410},
};
constexpr quint32 kOtherNameFlags = 0x70010;

class NameTable {
public:
    NameTable() {
        for (const FixedName& name : kFixedNames)
            add(QString::fromLatin1(name.text), name.flags);
    }
    void add(const QString& name, quint32 flags = kOtherNameFlags) {
        m_index.insert(name, qint32(m_names.size()));
        m_names.append({name, flags});
    }
    qint32 operator[](const char* name) const { return m_index.value(QString::fromLatin1(name)); }
    qint32 operator[](const QString& name) const { return m_index.value(name); }
    qint32 size() const { return qint32(m_names.size()); }

    QByteArray bytes() const {
        Bytes out;
        for (const auto& [name, flags] : m_names) {
            const QByteArray text = windows1252::encode(name);
            out.compact(qint32(text.size() + 1));
            out.append(text);
            out.u8(0);
            out.u32(flags);
        }
        return out.data;
    }

private:
    QList<std::pair<QString, quint32>> m_names;
    QHash<QString, qint32> m_index;
};

// One property tag: its name, the info byte (type, size code, array flag), a struct's name.
void tag(Bytes& out, const NameTable& names, const char* name, Type type, QByteArrayView value,
         const char* structName = nullptr) {
    static constexpr qsizetype kCodedSizes[] = {1, 2, 4, 12, 16};
    const auto coded = std::find(std::begin(kCodedSizes), std::end(kCodedSizes), value.size());
    const int code = coded == std::end(kCodedSizes) ? 5 : int(coded - std::begin(kCodedSizes));
    out.compact(names[name]);
    out.u8(quint8(type | code << 4));
    if (structName)
        out.compact(names[structName]);
    if (code == 5)
        out.u8(quint8(value.size()));
    out.append(value);
}

QByteArray le32(quint32 value) {
    Bytes bytes;
    bytes.u32(value);
    return bytes.data;
}

QByteArray colourBytes(const Colour& colour) {
    return QByteArray(reinterpret_cast<const char*>(colour.data()), 4);
}

// The average colour of mip 0's pixels, alpha 0, and the largest of each channel, alpha 255: as
// the editor stores them for the renderer.
std::pair<Colour, Colour> mipZeroAndMaxColor(const IndexedPicture& mip) {
    std::array<qint64, 3> sum{};
    Colour max{0, 0, 0, 255};
    for (const char index : mip.indices) {
        const Colour& colour = mip.palette[quint8(index)];
        for (int c = 0; c < 3; ++c) {
            sum[c] += colour[c];
            max[c] = std::max(max[c], colour[c]);
        }
    }
    const qint64 pixels = std::max<qint64>(1, mip.indices.size());
    Colour average{0, 0, 0, 0};
    for (int c = 0; c < 3; ++c)
        average[c] = quint8((sum[c] + pixels / 2) / pixels);
    return {average, max};
}

QByteArray textureData(const PackageTexture& texture, qint32 paletteReference,
                       const NameTable& names, qsizetype dataAt) {
    const IndexedPicture& top = texture.mips.first();
    const auto [mipZero, maxColor] = mipZeroAndMaxColor(top);
    Bytes out;
    tag(out, names, "LODSet", Byte, QByteArray(1, char(kLodSetSkin)));
    tag(out, names, "Palette", Object, compacted(paletteReference));
    tag(out, names, "UBits", Byte, QByteArray(1, char(std::countr_zero(unsigned(top.width)))));
    tag(out, names, "VBits", Byte, QByteArray(1, char(std::countr_zero(unsigned(top.height)))));
    tag(out, names, "USize", Int, le32(quint32(top.width)));
    tag(out, names, "VSize", Int, le32(quint32(top.height)));
    tag(out, names, "UClamp", Int, le32(quint32(top.width)));
    tag(out, names, "VClamp", Int, le32(quint32(top.height)));
    tag(out, names, "MipZero", Struct, colourBytes(mipZero), "Color");
    // The class's default, which the editor leaves out.
    if (maxColor != Colour{255, 255, 255, 255})
        tag(out, names, "MaxColor", Struct, colourBytes(maxColor), "Color");
    if (texture.masked) {
        out.compact(names["bMasked"]);
        out.u8(0x80 | 5 << 4 | Bool); // true, its size in the next byte: 0
        out.u8(0);
    }
    out.compact(names["None"]);
    out.compact(qint32(texture.mips.size()));
    for (const IndexedPicture& mip : texture.mips) {
        const QByteArray count = compacted(qint32(mip.indices.size()));
        // Where this mip's pixels end, in the file.
        out.u32(quint32(dataAt + out.size() + 4 + count.size() + mip.indices.size()));
        out.append(count);
        out.append(mip.indices);
        out.u32(quint32(mip.width));
        out.u32(quint32(mip.height));
        out.u8(quint8(std::countr_zero(unsigned(mip.width))));
        out.u8(quint8(std::countr_zero(unsigned(mip.height))));
    }
    return out.data;
}

// The palette as the file stores it: 256 colours, each R, G, B and 255; black past its own.
QByteArray paletteData(const QList<Colour>& palette, const NameTable& names) {
    Bytes out;
    out.compact(names["None"]);
    out.compact(kPaletteSize);
    for (int i = 0; i < kPaletteSize; ++i) {
        const Colour colour = i < palette.size() ? palette[i] : Colour{0, 0, 0, 255};
        out.append(QByteArray(reinterpret_cast<const char*>(colour.data()), 3));
        out.u8(255);
    }
    return out.data;
}

bool isPowerOfTwo(int side) {
    return side > 0 && (side & (side - 1)) == 0;
}

} // namespace

std::optional<QString> badTextureName(const QString& name) {
    const bool plain = std::all_of(name.begin(), name.end(), [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
               c == u'_' || c == u'-';
    });
    if (name.isEmpty() || !plain)
        return QStringLiteral("the name \"%1\" is not letters, digits, \"_\" and \"-\"").arg(name);
    if (name.size() > kLongestName)
        return QStringLiteral("the name \"%1\" is longer than %2 characters")
            .arg(name)
            .arg(kLongestName);
    return std::nullopt;
}

PackageTexture textureFromPicture(const QString& name, const SourcePicture& picture,
                                  bool maskIndexZero) {
    const int width = picture.rgba.width, height = picture.rgba.height;
    if (!isPowerOfTwo(width) || !isPowerOfTwo(height) || width > kLargestSide ||
        height > kLargestSide)
        throw Failure::refused(QStringLiteral("its size %1x%2: each side must be a power of two up "
                                              "to %3")
                                   .arg(width)
                                   .arg(height)
                                   .arg(kLargestSide));
    PackageTexture texture{name, {}, false};
    IndexedPicture top;
    if (picture.indexed) {
        top = *picture.indexed;
        while (top.palette.size() < kPaletteSize)
            top.palette.append({0, 0, 0, 255});
        QList<int> transparent;
        for (int i = 0; i < top.palette.size(); ++i) {
            if (top.palette[i][3] < 128)
                transparent << i;
        }
        texture.masked = maskIndexZero || !transparent.isEmpty();
        if (!transparent.isEmpty()) {
            // The game's mask is index 0: the first transparent entry takes its place, and the
            // pixels of any other transparent entry go there too.
            const int first = transparent.first();
            std::swap(top.palette[0], top.palette[first]);
            QList<quint8> to(top.palette.size());
            for (int i = 0; i < to.size(); ++i)
                to[i] = quint8(i == 0 ? first : i == first ? 0 : i);
            for (const int other : transparent.sliced(1))
                to[other] = 0;
            for (char& index : top.indices)
                index = char(to[quint8(index)]);
        }
    } else {
        const QByteArray& rgba = picture.rgba.rgba;
        for (qsizetype alpha = 3; !texture.masked && alpha < rgba.size(); alpha += 4)
            texture.masked = quint8(rgba[alpha]) < 128;
        top = reduceColours(picture.rgba, texture.masked);
    }
    texture.mips = makeMips(top, texture.masked);
    return texture;
}

QByteArray writeTexturePackage(const QString& packageName, const QList<PackageTexture>& textures) {
    QSet<QString> taken;
    for (const QString& name : QStringList{packageName} + [&] {
             QStringList names;
             for (const PackageTexture& texture : textures)
                 names << texture.name;
             return names;
         }()) {
        if (const std::optional<QString> bad = badTextureName(name))
            throw Failure::refused(*bad);
        if (taken.contains(caseKey(name)))
            throw Failure::refused(
                QStringLiteral("two textures or the package are named \"%1\" but for case")
                    .arg(name));
        taken.insert(caseKey(name));
    }

    // Each palette once, named as the editor names them, clear of the textures' names.
    QList<QList<Colour>> palettes;
    QList<qsizetype> paletteOf;
    QStringList paletteNames;
    for (const PackageTexture& texture : textures) {
        QList<Colour> palette = texture.mips.first().palette;
        palette.resize(kPaletteSize, Colour{0, 0, 0, 255});
        qsizetype index = palettes.indexOf(palette);
        if (index < 0) {
            index = palettes.size();
            palettes << palette;
            QString name;
            for (int n = int(paletteNames.size()) + 1;
                 name.isEmpty() || taken.contains(caseKey(name)); ++n)
                name = QStringLiteral("Palette%1").arg(n);
            taken.insert(caseKey(name));
            paletteNames << name;
        }
        paletteOf << index;
    }

    NameTable names;
    for (const QString& name : paletteNames)
        names.add(name);
    names.add(packageName);
    for (const PackageTexture& texture : textures)
        names.add(texture.name);
    const QByteArray nameTable = names.bytes();

    // Header, names, then the objects' data, palettes first, then the imports and the exports.
    constexpr qsizetype kHeaderSize = 64;
    const qsizetype dataAt = kHeaderSize + nameTable.size();
    Bytes data;
    QList<std::pair<qsizetype, qsizetype>> placed; // each export's data: where, how many bytes
    for (const QList<Colour>& palette : palettes) {
        placed.append({dataAt + data.size(), 0});
        data.append(paletteData(palette, names));
        placed.last().second = dataAt + data.size() - placed.last().first;
    }
    for (qsizetype i = 0; i < textures.size(); ++i) {
        placed.append({dataAt + data.size(), 0});
        data.append(
            textureData(textures[i], qint32(paletteOf[i] + 1), names, dataAt + data.size()));
        placed.last().second = dataAt + data.size() - placed.last().first;
    }

    Bytes imports; // Engine, the package; Texture and Palette, classes in it
    imports.compact(names["Core"]);
    imports.compact(names["Package"]);
    imports.u32(0);
    imports.compact(names["Engine"]);
    for (const char* className : {"Texture", "Palette"}) {
        imports.compact(names["Core"]);
        imports.compact(names["Class"]);
        imports.u32(quint32(-1));
        imports.compact(names[className]);
    }
    constexpr qint32 kTextureClass = -2, kPaletteClass = -3;

    Bytes exports;
    const auto exportEntry = [&](qint32 className, const QString& name, quint32 flags,
                                 std::pair<qsizetype, qsizetype> where) {
        exports.compact(className);
        exports.compact(0); // no super
        exports.u32(0);     // at the top, in no other object
        exports.compact(names[name]);
        exports.u32(flags);
        exports.compact(qint32(where.second));
        exports.compact(qint32(where.first));
    };
    for (qsizetype i = 0; i < palettes.size(); ++i)
        exportEntry(kPaletteClass, paletteNames[i], kPaletteFlags, placed[i]);
    for (qsizetype i = 0; i < textures.size(); ++i)
        exportEntry(kTextureClass, textures[i].name, kTextureFlags, placed[palettes.size() + i]);

    const qint32 exportCount = qint32(palettes.size() + textures.size());
    const qsizetype importsAt = dataAt + data.size(), exportsAt = importsAt + imports.size();
    Bytes header;
    header.u32(kSignature);
    header.data.append(char(kVersion & 0xFF)).append(char(kVersion >> 8)).append(2, '\0');
    header.u32(kAllowDownload);
    for (const qsizetype value : {qsizetype(names.size()), kHeaderSize, qsizetype(exportCount),
                                  exportsAt, qsizetype(3), importsAt})
        header.u32(quint32(value));
    header.append(QUuid::createUuid().toRfc4122());
    header.u32(1); // one generation: this one
    header.u32(quint32(exportCount));
    header.u32(quint32(names.size()));
    return header.data + nameTable + data.data + imports.data + exports.data;
}

} // namespace quorrel
