#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

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

// The tables, or why they could not be read.
struct PackageRead {
    std::optional<PackageTables> tables;
    QString failure; // empty exactly when `tables` is set

    bool ok() const { return tables.has_value(); }
};

// Reads the header, the name, import and export tables. A damaged or hostile file gives a failure
// naming what is wrong; no byte outside `bytes` is ever read, and no table is sized by a count
// larger than the bytes left could hold.
PackageRead readPackageTables(QByteArrayView bytes);

} // namespace quorrel
