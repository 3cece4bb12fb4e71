#include "game/SkinModel.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"
#include "formats/Texture.h"
#include "game/GameFolders.h"
#include "game/MeshSearch.h"
#include "rules/SkinMenu.h"

#include <QDir>

namespace quorrel {
namespace {

struct PackageBytes {
    QByteArrayView bytes;
    const PackageTables& tables;
};

// The picture of the first texture of that name (ignoring case) in the packages; null when none
// holds it. Throws a Failure (Damaged) naming the texture when it cannot be decoded.
Picture texturePicture(const QString& name, std::initializer_list<PackageBytes> packages) {
    for (const PackageBytes& package : packages) {
        if (Picture picture = namedTexture(package.bytes, package.tables, name); !picture.isNull())
            return picture;
    }
    return Picture();
}

// The entry of `list` that is `name` without regard to case; the first when `name` is empty.
std::optional<QString> entryNamed(const QStringList& list, const QString& name) {
    if (name.isEmpty())
        return list.isEmpty() ? std::nullopt : std::optional(list.first());
    for (const QString& entry : list) {
        if (sameIgnoringCase(entry, name))
            return entry;
    }
    return std::nullopt;
}

} // namespace

QStringList modelFolders(const QString& packagePath, const QStringList& more) {
    QStringList games;
    if (const std::optional<QString> system = findGameFolder(kSystemFolder, gamePlacesHere()))
        games << *system;
    return meshFolders(packagePath, games + more);
}

SkinModel loadSkinModel(QStringView meshName, const QStringList& folders) {
    FoundMesh found = findMesh(meshName, folders);
    SkinModel model{found.file, std::move(found.bytes), std::move(found.tables), {}, {}};
    model.mesh = readMesh(model.meshBytes, model.meshTables, found.exportIndex);
    model.triangles = meshTriangles(model.mesh);
    return model;
}

QStringList modelTextures(const SkinModel& model, const SkinPackage& skin) {
    return skin.textures + textureNames(model.meshTables);
}

SkinChoice chooseSkin(QStringView meshName, const QStringList& textures, const QString& skin,
                      const QString& face, int team) {
    const QStringList skins = modelSkins(meshName, textures);
    const std::optional<QString> group = entryNamed(skins, skin);
    if (!group)
        throw Failure::notFound(
            QStringLiteral("the package holds no skin %1 for the mesh %2; its skins: %3")
                .arg(skin, meshName.toString(), skins.join(QStringLiteral(", "))));
    QStringList faces;
    for (const SkinGroup& found : skinGroups(textures)) {
        if (found.name == *group)
            faces = groupFaces(textures, found);
    }
    const std::optional<QString> chosenFace = entryNamed(faces, face);
    if (!chosenFace && !face.isEmpty())
        throw Failure::notFound(QStringLiteral("the skin %1 has no face %2; its faces: %3")
                                    .arg(*group, face, faces.join(QStringLiteral(", "))));
    return {*group, chosenFace.value_or(QString()), team};
}

DressedModel dressModel(const SkinModel& model, const SkinPackage& skin, const SkinChoice& choice) {
    DressedModel dressed{skinSlots(model.mesh.name, choice, modelTextures(model, skin)), {}, {}};
    for (const qint32 slot : meshSlots(model.mesh)) {
        const SkinSlot filled = slot >= 0 && slot < 4 ? dressed.slots.slot[slot] : SkinSlot();
        if (filled.wanted.isEmpty()) {
            dressed.problems
                << QStringLiteral("the mesh's slot %1 is none the player menu fills").arg(slot);
        } else if (filled.missing()) {
            dressed.problems << QStringLiteral("the mesh's slot %1 wants the texture %2, which is "
                                               "in neither the package nor %3")
                                    .arg(QString::number(slot), filled.wanted,
                                         QDir::toNativeSeparators(model.meshFile));
        } else {
            try {
                dressed.pictures[slot] =
                    texturePicture(filled.texture, {{skin.bytes, skin.tables},
                                                    {model.meshBytes, model.meshTables}});
            } catch (const Failure& failure) {
                dressed.problems << failure.text();
            }
        }
    }
    return dressed;
}

} // namespace quorrel
