#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <array>
#include <bit>
#include <functional>

// Builds package bytes. package() lays out a name table behind 64 placeholder header bytes: for
// each name a length byte, its characters and 00 10 00 07 00 (terminator and four flag bytes).
// realPackage() builds a real package's header and tables (names, imports, exports) and the
// objects' data. Shared by the tests, the benchmarks and the fuzz seeds.
namespace testpkg {

inline const QByteArray kHeader(64, '\x01');
inline const QByteArray kStopMarker("\x40\x04", 2);

// A package holding `names`, followed by `tail` (by default the stop marker and some padding).
// The byte after the last name stands where the next length byte would; the walk skips it.
inline QByteArray package(const QList<QByteArray>& names,
                          const QByteArray& tail = kStopMarker + QByteArray(8, '\x00')) {
    QByteArray bytes = kHeader;
    bytes.append(char(names.isEmpty() ? 0 : names.first().size() + 1));
    for (qsizetype i = 0; i < names.size(); ++i) {
        bytes.append(names[i]);
        bytes.append("\x00\x10\x00\x07\x00", 5);
        bytes.append(char(i + 1 < names.size() ? names[i + 1].size() + 1 : 0));
    }
    return bytes + tail;
}

// What an object's data refers to, added to the package's tables as it is asked for.
struct Refs {
    std::function<QByteArray(const QByteArray&)> name; // a name, as its compact index
    std::function<qint32(const QByteArray&)> object;   // an export by its name: its reference
    // An object of `className` (from Engine) named `objectName` in the package `outer`.
    std::function<qint32(const QByteArray&, const QByteArray&, const QByteArray&)> import;
    qsizetype at = 0; // where the object's data starts in the file
};

// One export of a real package: the class it is an object of, and its data when it has some.
struct Object {
    QByteArray name;
    QByteArray className = "Texture";
    QByteArray classPackage = "Engine";
    std::function<QByteArray(const Refs&)> data = {};
    quint32 flags = 0x00070004;
};

// Each value as four little-endian bytes.
inline QByteArray u32s(std::initializer_list<qint64> values) {
    QByteArray bytes;
    for (const qint64 value : values) {
        char le[4];
        qToLittleEndian(quint32(value), le);
        bytes.append(le, 4);
    }
    return bytes;
}

inline QByteArray compact(qint32 value) {
    quint32 left = value < 0 ? quint32(-qint64(value)) : quint32(value);
    QByteArray bytes(1, char((value < 0 ? 0x80 : 0) | (left & 0x3F)));
    left >>= 6;
    for (qsizetype last = 0; left; left >>= 7) {
        bytes[last] = char(bytes[last] | (last == 0 ? 0x40 : 0x80));
        bytes.append(char(left & 0x7F));
        last = bytes.size() - 1;
    }
    return bytes;
}

// A package at `version` whose exports are `objects`, each of its class imported from its class
// package. The header ends at byte 64 (below version 68 a heritage GUID and padding fill it up),
// and the name table starts there, "None" first; 00 40 04 follows it, so the byte walk stops
// there. Then the imports, the exports and the objects' data, in export order.
inline QByteArray realPackage(const QList<Object>& objects, quint16 version = 69) {
    QList<QByteArray> names{"None", "Core", "Class", "Package"};
    for (int i = names.size(); i < 64; ++i) // so later names take two-byte indices
        names << "Unused" + QByteArray::number(i);
    auto name = [&](const QByteArray& text) {
        if (!names.contains(text))
            names.append(text);
        return compact(qint32(names.indexOf(text)));
    };
    QList<QByteArray> imports;
    auto import = [&](const QByteArray& objectClass, const QByteArray& objectName, qint32 outer,
                      const QByteArray& classPackage = "Core") {
        const QByteArray entry =
            name(classPackage) + name(objectClass) + u32s({outer}) + name(objectName);
        if (!imports.contains(entry))
            imports.append(entry);
        return -qint32(imports.indexOf(entry)) - 1;
    };
    Refs refs{
        name,
        [&](const QByteArray& objectName) {
            for (qsizetype i = 0; i < objects.size(); ++i) {
                if (objects[i].name == objectName)
                    return qint32(i + 1);
            }
            qFatal("no export %s", objectName.constData());
        },
        [&](const QByteArray& className, const QByteArray& objectName, const QByteArray& outer) {
            return import(className, objectName, import("Package", outer, 0), "Engine");
        },
        0};
    QList<QByteArray> data;
    QList<qint32> classes;
    for (const Object& object : objects) {
        classes << import("Class", object.className, import("Package", object.classPackage, 0));
        name(object.name);
        data << (object.data ? object.data(refs) : QByteArray());
    }

    QByteArray table;
    for (const QByteArray& text : names) {
        table += (version >= 64 ? compact(qint32(text.size() + 1)) : QByteArray()) + text + '\0' +
                 u32s({0x00070010});
    }
    table += QByteArray("\x00\x40\x04", 3);
    const qsizetype importsAt = 64 + table.size();
    const qsizetype exportsAt = importsAt + imports.join().size();
    // The data's offsets change the size of the export table they stand in: again until it holds.
    QByteArray exports;
    qsizetype tableSize = 0;
    do {
        tableSize = exports.size();
        exports.clear();
        qsizetype at = exportsAt + tableSize;
        for (qsizetype i = 0; i < objects.size(); ++i) {
            exports += compact(classes[i]) + compact(0) + u32s({0}) + name(objects[i].name) +
                       u32s({objects[i].flags}) + compact(qint32(data[i].size()));
            if (!data[i].isEmpty())
                exports += compact(qint32(at));
            at += data[i].size();
        }
    } while (exports.size() != tableSize);
    // Data that holds its own position (a mip's end) is built again where it lands, same size.
    refs.at = exportsAt + tableSize;
    for (qsizetype i = 0; i < objects.size(); refs.at += data[i++].size()) {
        if (objects[i].data)
            data[i] = objects[i].data(refs);
    }
    // Signature, version and licensee (two bytes each), flags, then the counts and offsets of the
    // three tables, then what the version adds.
    const QByteArray guid(16, '\x5A');
    const QByteArray header = u32s({0x9E2A83C1, version, 1, names.size(), 64, objects.size(),
                                    exportsAt, imports.size(), importsAt}) +
                              (version >= 68 ? guid + u32s({1, objects.size(), names.size()})
                                             : u32s({1, 44}) + guid + QByteArray(4, '\0'));
    return header + table + imports.join() + exports + data.join();
}

// One property tag and its value: name, info byte (type, size code, array flag), a struct's name,
// the size (sizes 1, 2, 4, 12 and 16 by their code, others in one more byte), the array index
// (one byte below 128, else two), the value. A Bool's value is its array flag, and it has no bytes.
inline QByteArray tag(const Refs& refs, const QByteArray& name, int type, const QByteArray& value,
                      int index = 0, const QByteArray& structName = {}) {
    const int code = QList<qsizetype>{1, 2, 4, 12, 16}.indexOf(value.size());
    QByteArray bytes =
        refs.name(name) + char(type | (code < 0 ? 5 : code) << 4 | (index ? 0x80 : 0));
    if (!structName.isEmpty())
        bytes += refs.name(structName);
    if (code < 0)
        bytes += char(value.size());
    if (index && type != 3)
        bytes +=
            (index < 128 ? QByteArray() : QByteArray(1, char(0x80 | index >> 8))) + char(index);
    return bytes + (type == 3 ? QByteArray() : value);
}

using Tags = std::function<QByteArray(const Refs&)>;

// A texture's usual tags: Format, Palette (the export so named; none when empty), bMasked.
inline Tags textureTags(int format, const QByteArray& palette = {}, bool masked = false) {
    return [=](const Refs& refs) {
        return tag(refs, "Format", 1, QByteArray(1, char(format))) +
               (palette.isEmpty() ? QByteArray()
                                  : tag(refs, "Palette", 5, compact(refs.object(palette)))) +
               (masked ? tag(refs, "bMasked", 3, {}, 1) : QByteArray());
    };
}

struct Mip {
    quint32 width, height;
    QByteArray pixels;
};

// A texture's data: `tags` and None, then each mip array: its count, and per mip the position its
// pixels end at (when `withEnd`), their byte count, the pixels, the size and its bits.
inline QByteArray textureData(const Refs& refs, const QByteArray& tags,
                              const QList<QList<Mip>>& arrays, bool withEnd = true) {
    QByteArray bytes = tags + refs.name("None");
    for (const QList<Mip>& mips : arrays) {
        bytes += compact(qint32(mips.size()));
        for (const Mip& mip : mips) {
            const QByteArray count = compact(qint32(mip.pixels.size()));
            if (withEnd)
                bytes += u32s({refs.at + bytes.size() + 4 + count.size() + mip.pixels.size()});
            bytes += count + mip.pixels + u32s({mip.width, mip.height}) + QByteArray(2, '\x08');
        }
    }
    return bytes;
}

inline Object texture(const QByteArray& name, const Tags& tags, const QList<QList<Mip>>& arrays,
                      bool withEnd = true, const QByteArray& className = "Texture") {
    return {name, className, "Engine",
            [=](const Refs& refs) { return textureData(refs, tags(refs), arrays, withEnd); }};
}

// A Palette: no properties, `count` (by default as many as `colours` holds, four bytes each: R, G,
// B and one ignored), the colours.
inline Object palette(const QByteArray& name, const QByteArray& colours, qint32 count = -1) {
    return {name, "Palette", "Engine", [=](const Refs& refs) {
                return refs.name("None") + compact(count < 0 ? qint32(colours.size() / 4) : count) +
                       colours;
            }};
}

// A LodMesh's data at `version` (61-69), no properties; the offsets of array ends written as 0.
struct Mesh {
    QList<quint32> vertices; // packed, every frame one after the other
    qint32 verticesPerFrame = 3, frameCount = 1;
    QList<std::pair<QByteArray, qint32>> sequences = {}; // name, first frame
    QList<std::array<quint16, 4>> faces;                 // three wedges and a material
    QList<std::array<quint16, 3>> wedges;                // vertex, U, V
    QList<std::pair<quint32, qint32>> materials;         // poly flags, texture slot
    quint32 specialVertices = 0;
    std::array<float, 3> scale{1, 1, 1}, origin{0, 0, 0};
    std::array<qint32, 3> rotation{0, 0, 0}; // pitch, yaw, roll
};

// A vertex as meshes pack it: 11 bits of X, 11 of Y, 10 of Z.
inline quint32 packed(int x, int y, int z) {
    return quint32(x & 0x7FF) | quint32(y & 0x7FF) << 11 | quint32(z & 0x3FF) << 22;
}

inline QByteArray meshData(const Mesh& mesh, const Refs& refs, quint16 version = 69) {
    const QByteArray skip = version > 61 ? u32s({0}) : QByteArray();
    const QByteArray sphere(version > 61 ? 16 : 12, '\0'), box(25, '\0');
    QByteArray data = refs.name("None") + box + sphere + skip + compact(mesh.vertices.size());
    for (const quint32 vertex : mesh.vertices)
        data += u32s({vertex});
    data += skip + compact(0) + compact(mesh.sequences.size());
    for (const auto& [name, first] : mesh.sequences)
        data += refs.name(name) + refs.name("None") + u32s({first, 1}) + compact(0) + u32s({0});
    data += skip + compact(0) + box + sphere + skip + compact(0) + compact(0) + compact(0) +
            compact(0) + u32s({mesh.verticesPerFrame, mesh.frameCount, 0, 0});
    for (const float value : {mesh.scale[0], mesh.scale[1], mesh.scale[2], mesh.origin[0],
                              mesh.origin[1], mesh.origin[2]})
        data += u32s({std::bit_cast<quint32>(value)});
    data += u32s({mesh.rotation[0], mesh.rotation[1], mesh.rotation[2], 0, 0});
    data += version == 65 ? u32s({0}) : version > 65 ? compact(0) : QByteArray();
    data += compact(0) + compact(0) + compact(mesh.faces.size());
    const auto u16 = [](quint16 value) { return QByteArray(1, char(value)) + char(value >> 8); };
    for (const auto& face : mesh.faces)
        data += u16(face[0]) + u16(face[1]) + u16(face[2]) + u16(face[3]);
    data += compact(0) + compact(mesh.wedges.size());
    for (const auto& [vertex, u, v] : mesh.wedges)
        data += u16(vertex) + char(u) + char(v);
    data += compact(mesh.materials.size());
    for (const auto& [flags, slot] : mesh.materials)
        data += u32s({flags, slot});
    return data + compact(0) + u32s({0, mesh.specialVertices, 0, 0, 0, 0, 0, 0}) + compact(0) +
           u32s({0});
}

} // namespace testpkg
