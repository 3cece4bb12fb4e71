#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// A package (.utx, .u): its header and its name, import and export tables.
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

// Reads little-endian numbers and compact indices from a package, from `at` up to `end` (the end
// of the file when -1, else the end of one object's data). A read that would run past it throws
// a Failure (Damaged) naming what was being read and where.
class PackageCursor {
public:
    PackageCursor(QByteArrayView bytes, qsizetype at, qsizetype end = -1);

    qsizetype at() const { return m_at; }
    qsizetype left() const { return m_bytes.size() - m_at; }

    // The next `count` bytes, and moves past them.
    const uchar* take(qsizetype count, const char* what);
    quint8 u8(const char* what);
    quint16 u16(const char* what);
    quint32 u32(const char* what);
    qint32 i32(const char* what);
    float f32(const char* what);
    // A signed number of one to five bytes: six bits in the first, seven in each further byte.
    qint32 compact(const char* what);

private:
    QByteArrayView m_bytes;
    qsizetype m_at;
    const char* m_within;
};

// Reads the header, the name, import and export tables. A damaged or hostile file throws a
// Failure (Damaged) naming what is wrong; no byte outside `bytes` is ever read, and no table is
// sized by a count larger than the bytes left could hold.
PackageTables readPackageTables(QByteArrayView bytes);

// The same for the package file at `path`, reading only the header and the three tables, never
// the objects' data between them (or the whole file where the tables are laid out otherwise than
// the game writes them). Throws Failure as readWholeFile() and readPackageTables() do.
PackageTables readPackageTablesOf(const QString& path);

} // namespace quorrel
