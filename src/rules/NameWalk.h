#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// The window's way of reading a package's names: a walk over the bytes for the patterns that end
// a name in the name table, without reading the header.
namespace quorrel {

// The names the byte walk reads: from position 66 (counting from 1) it takes a name at each
// name-end marker (00 10 ?? 07) and stops at the stop marker (40 04), without reading the
// header. It reads no byte outside `bytes`.
struct NameWalk {
    QStringList names;    // in file order
    bool complete = true; // false: a test needed a byte past the end; `names` holds what was read
};
NameWalk walkNames(QByteArrayView bytes);

// Where the byte walk parts from the header's name table; nothing when it reads the same names
// first (what it reads past the table does not count).
std::optional<QString> walkDifference(const NameWalk& walk, const QStringList& names);

} // namespace quorrel
