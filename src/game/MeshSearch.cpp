#include "game/MeshSearch.h"

#include "base/Failure.h"
#include "base/Files.h"
#include "base/IgnoringCase.h"
#include "formats/Mesh.h"
#include "game/GameFolders.h"
#include "rules/PlayerModels.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace quorrel {
namespace {

// The export that is the mesh.
std::optional<qsizetype> meshExport(const PackageTables& tables, QStringView meshName) {
    for (qsizetype i = 0; i < tables.exports.size(); ++i) {
        const PackageExport& object = tables.exports[i];
        if (sameIgnoringCase(object.objectName, meshName) && isMeshClass(object.className))
            return i;
    }
    return std::nullopt;
}

} // namespace

QStringList meshFolders(const QString& packagePath, const QStringList& gameFolders) {
    const QString system = QStringLiteral("System");
    QStringList folders;
    const QDir packageFolder = QFileInfo(packagePath).absoluteDir();
    QDir game = packageFolder;
    // A missing System folder stays in the list, under its own name, so a failure names it.
    if (game.cdUp())
        folders << childFolder(game.path(), system).value_or(game.filePath(system));
    for (const QString& folder : gameFolders) {
        folders << QDir::cleanPath(
            QFileInfo(childFolder(folder, system).value_or(folder)).absoluteFilePath());
    }
    folders.removeDuplicates();
    return folders;
}

FoundMesh findMesh(QStringView meshName, const QStringList& folders) {
    const StockModel* stock = stockModel(meshName);
    QStringList looked;
    for (const QString& folder : folders) {
        const QDir dir(folder);
        if (!dir.exists()) {
            looked << QDir::toNativeSeparators(folder) + QStringLiteral(" (no such folder)");
            continue;
        }
        looked << QDir::toNativeSeparators(folder);
        QFileInfoList packages =
            dir.entryInfoList({QStringLiteral("*.u")}, QDir::Files, QDir::Name);
        if (stock) {
            std::stable_partition(packages.begin(), packages.end(), [&](const QFileInfo& info) {
                return sameIgnoringCase(info.fileName(), stock->package);
            });
        }
        for (const QFileInfo& info : packages) {
            if (!info.isFile() || info.size() <= 0)
                continue; // a FIFO or device would block or lie about its size
            try {
                if (!meshExport(readPackageTablesOf(info.filePath()), meshName))
                    continue;
            } catch (const Failure&) {
                continue; // another package's damage is not this search's concern
            }
            FoundMesh found{info.filePath(), {}, {}, 0};
            try {
                found.bytes = readWholeFile(found.file);
                found.tables = readPackageTables(found.bytes);
            } catch (const Failure& failure) {
                throw Failure::damaged(QDir::toNativeSeparators(found.file) + QStringLiteral(": ") +
                                       failure.text());
            }
            // The tables read whole may differ from those read alone only if the file changed.
            if (const std::optional<qsizetype> mesh = meshExport(found.tables, meshName)) {
                found.exportIndex = *mesh;
                return found;
            }
        }
    }
    throw Failure::notFound(QStringLiteral("no mesh %1 in the .u packages of %2")
                                .arg(meshName.toString(), looked.isEmpty()
                                                              ? QStringLiteral("any folder")
                                                              : looked.join(QStringLiteral(", "))));
}

} // namespace quorrel
