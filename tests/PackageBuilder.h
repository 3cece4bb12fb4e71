#pragma once

#include <QByteArray>
#include <QList>
#include <QtEndian>

// Builds package bytes. package() lays out a name table behind 64 placeholder header bytes: for
// each name a length byte, its characters and 00 10 00 07 00 (terminator and four flag bytes).
// realPackage() builds a real package's header and tables: names, imports, exports (no object
// data). Shared by the tests, the benchmarks and the fuzz seeds.
namespace testpkg {

inline QByteArray header() {
    return QByteArray(64, '\x01');
}

inline QByteArray stopMarker() {
    return QByteArray("\x40\x04", 2);
}

// A package holding `names`, followed by `tail` (by default the stop marker and some padding).
// The byte after the last name stands where the next length byte would; the walk skips it.
inline QByteArray package(const QList<QByteArray>& names,
                          const QByteArray& tail = stopMarker() + QByteArray(8, '\x00')) {
    QByteArray bytes = header();
    bytes.append(char(names.isEmpty() ? 0 : names.first().size() + 1));
    for (qsizetype i = 0; i < names.size(); ++i) {
        bytes.append(names[i]);
        bytes.append("\x00\x10\x00\x07\x00", 5);
        bytes.append(char(i + 1 < names.size() ? names[i + 1].size() + 1 : 0));
    }
    return bytes + tail;
}

// One export of a real package and the class it is an object of.
struct Object {
    QByteArray name;
    QByteArray className = "Texture";
    QByteArray classPackage = "Engine"; // empty: a class this package defines ("Class" for one)
};

inline void appendU32(QByteArray& bytes, quint32 value) {
    char le[4];
    qToLittleEndian(value, le);
    bytes.append(le, 4);
}

inline void setU32(QByteArray& bytes, qsizetype at, quint32 value) {
    qToLittleEndian(value, bytes.data() + at);
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
// and the name table starts there, "None" first, each name with `nameFlags`; 00 40 04 follows it,
// so the byte walk stops there. Then the imports, then the exports; every other export has a
// serial size and offset.
inline QByteArray realPackage(const QList<Object>& objects, quint16 version = 69,
                              quint32 nameFlags = 0x00070010) {
    QList<QByteArray> names{"None", "Core", "Class", "Package"};
    auto name = [&](const QByteArray& text) {
        if (!names.contains(text))
            names.append(text);
        return qint32(names.indexOf(text));
    };
    QList<QByteArray> imports; // encoded
    QList<QByteArray> importKeys;
    auto import = [&](const QByteArray& package, const QByteArray& objectClass,
                      const QByteArray& objectName, qint32 outer) {
        const QByteArray key = package + '.' + objectClass + '.' + objectName;
        if (!importKeys.contains(key)) {
            QByteArray entry = compact(name(package)) + compact(name(objectClass));
            appendU32(entry, quint32(outer));
            imports.append(entry + compact(name(objectName)));
            importKeys.append(key);
        }
        return -qint32(importKeys.indexOf(key)) - 1;
    };
    QByteArray exports;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        qint32 classRef = 0;
        for (qsizetype j = 0; j < objects.size(); ++j) {
            if (objects[i].classPackage.isEmpty() && objects[j].name == objects[i].className)
                classRef = qint32(j + 1);
        }
        if (!objects[i].classPackage.isEmpty())
            classRef = import("Core", "Class", objects[i].className,
                              import("Core", "Package", objects[i].classPackage, 0));
        exports += compact(classRef) + compact(0);
        appendU32(exports, 0);
        exports += compact(name(objects[i].name));
        appendU32(exports, 0x00070004);
        exports += i % 2 ? compact(16) + compact(64) : compact(0);
    }

    QByteArray table;
    for (const QByteArray& text : names) {
        if (version >= 64)
            table += compact(qint32(text.size() + 1));
        table += text + '\0';
        appendU32(table, nameFlags);
    }
    table += QByteArray("\x00\x40\x04", 3);

    QByteArray bytes;
    appendU32(bytes, 0x9E2A83C1);
    bytes += char(version & 0xFF);
    bytes += char(version >> 8);
    bytes += QByteArray("\0\0", 2); // licensee
    appendU32(bytes, 1);
    const qsizetype importsAt = 64 + table.size();
    qsizetype importsSize = 0;
    for (const QByteArray& entry : imports)
        importsSize += entry.size();
    for (qsizetype value : {names.size(), qsizetype(64), objects.size(), importsAt + importsSize,
                            imports.size(), importsAt})
        appendU32(bytes, quint32(value));
    if (version >= 68) {
        bytes += QByteArray(16, '\x5A'); // GUID
        appendU32(bytes, 1);
        appendU32(bytes, quint32(objects.size()));
        appendU32(bytes, quint32(names.size()));
    } else {
        appendU32(bytes, 1);
        appendU32(bytes, 44);
        bytes += QByteArray(16, '\x5A') + QByteArray(4, '\0');
    }
    bytes += table;
    for (const QByteArray& entry : imports)
        bytes += entry;
    return bytes + exports;
}

} // namespace testpkg
