#pragma once

#include <QByteArray>
#include <QList>

// Builds package bytes the way a name table lays them out: 64 header bytes, then for each name a
// length byte, its characters and 00 10 00 07 00 (terminator and four flag bytes). Shared by the
// tests, the benchmarks and the fuzz seeds.
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

} // namespace testpkg
