#include "game/SkinPackage.h"

#include "base/Files.h"
#include "formats/Texture.h"
#include "rules/NameFields.h"

#include <QFileInfo>

namespace quorrel {

SkinPackage readSkinPackage(const QString& path) {
    SkinPackage package;
    package.file = path;
    package.name = packageNameFromTitle(QFileInfo(path).fileName());
    package.bytes = readWholeFile(path);
    package.tables = readPackageTables(package.bytes);
    package.textures = textureNames(package.tables);
    return package;
}

} // namespace quorrel
