#pragma once

#include "formats/Package.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

// Where a skin's player model lives: its mesh in a package of the author's game, which the tool
// never ships.
namespace quorrel {

// The System folders to look in, in order, each once: the one beside the package's own folder
// (".../Textures/X.utx" gives ".../System"), then that of each game folder (the game folder
// itself when it holds no System folder). Folder names ignore case; missing folders stay in the
// list, so a failure can name them.
QStringList meshFolders(const QString& packagePath, const QStringList& gameFolders);

struct FoundMesh {
    QString file; // the package that holds the mesh
    QByteArray bytes;
    PackageTables tables;
    qsizetype exportIndex = 0;
};

// The first package in `folders` with an export named `meshName` (ignoring case) of class
// LodMesh or Mesh: in each folder the stock model's own package first, then its other .u files
// by name, reading only their headers and tables. The package found is read whole. Throws a
// Failure: NotFound naming every folder looked in, or the found package's own failure.
FoundMesh findMesh(QStringView meshName, const QStringList& folders);

} // namespace quorrel
