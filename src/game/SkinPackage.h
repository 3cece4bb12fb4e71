#pragma once

#include "formats/Package.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// A skin package as the game takes it: its name, its bytes, its tables and its textures.
namespace quorrel {

struct SkinPackage {
    QString file; // where it was read from
    QString name; // the file's name less its extension: what .int entries name it by
    QByteArray bytes;
    PackageTables tables;
    QStringList textures; // the names of its textures, in export order
};

// Reads the package file at `path` whole. Throws Failure: ShortName for a file name too short to
// name a package, then what reading the file or its tables throws.
SkinPackage readSkinPackage(const QString& path);

} // namespace quorrel
