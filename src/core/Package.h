#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// A texture package (.utx, also .u): its header and tables, and the byte walk that reads names
// without them.
namespace quorrel {

// An object another package defines, as the import table lists it.
struct PackageImport {
    QString classPackage;
    QString className;
    qint32 package = 0; // object reference of its outer object
    QString objectName;
};

// An object the package defines.
struct PackageExport {
    QString objectName;
    QString className;  // "Class" when the object is a class itself
    qint32 package = 0; // object reference of its outer object, 0 at the top
    quint32 flags = 0;
    qint32 serialSize = 0;   // the object's data: how many bytes,
    qint32 serialOffset = 0; // and where they start (0 when there are none)
};

// What the header and its tables say, in file order.
struct PackageTables {
    quint16 version = 0;
    quint16 licensee = 0;
    quint32 flags = 0;
    QStringList names;
    QList<PackageImport> imports;
    QList<PackageExport> exports;
};

// Reads the header, the name, import and export tables. A damaged or hostile file throws a
// Failure (Damaged) naming what is wrong; no byte outside `bytes` is ever read, and no table is
// sized by a count larger than the bytes left could hold.
PackageTables readPackageTables(QByteArrayView bytes);

// The names the byte walk reads: from position 66 (counting from 1) it takes a name at each
// name-end marker (00 10 ?? 07) and stops at the stop marker (40 04), without reading the
// header. It reads no byte outside `bytes`.
struct NameWalk {
    QStringList names;    // in file order
    bool complete = true; // false: a test needed a byte past the end; `names` holds what was read
};
NameWalk walkNames(QByteArrayView bytes);

// Where the byte walk parts from the header's name table; empty when it reads the same names
// first (what it reads past the table does not count).
QString walkDifference(const NameWalk& walk, const QStringList& names);

} // namespace quorrel
