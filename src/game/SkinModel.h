#pragma once

#include "base/Picture.h"
#include "formats/Mesh.h"
#include "formats/Package.h"
#include "game/SkinPackage.h"
#include "rules/SkinSlots.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// A skin package on its player model: the mesh it is named after, from the author's own game, and
// the package's textures in the mesh's skin slots. quorrel-int --render and the game view both
// go this way.
namespace quorrel {

// The System folders to look for the mesh in: beside the package's own folder, the game this
// machine holds (in a Wine prefix, or where the registry records it), then `more`, in order.
QStringList modelFolders(const QString& packagePath, const QStringList& more);

struct SkinModel {
    QString
        meshFile; // the package that holds the mesh, read whole: some models keep textures there
    QByteArray meshBytes;
    PackageTables meshTables;
    Mesh mesh;
    QList<MeshTriangle> triangles;
};

// Finds and reads the mesh. Throws a Failure: NotFound naming every folder it looked in, or
// Damaged saying what is wrong with the mesh.
SkinModel loadSkinModel(QStringView meshName, const QStringList& folders);

// The textures the slots can take: the skin package's, then the mesh package's.
QStringList modelTextures(const SkinModel& model, const SkinPackage& skin);

// The skin and face to draw with `team`: those named (without regard to case), or else the first
// skin the package offers the model and that skin's first face. Throws a Failure (NotFound)
// naming the choices when a named skin or face is not there.
SkinChoice chooseSkin(QStringView meshName, const QStringList& textures, const QString& skin,
                      const QString& face, int team);

struct DressedModel {
    SkinSlots slots;
    std::array<Picture, 4> pictures; // null where the slot has no picture
    // Why a slot the mesh uses has no picture: the menu fills no such slot, its texture is in
    // neither package, or it cannot be decoded. Such a slot is drawn in one flat colour.
    QStringList problems;
};

// The pictures the player menu puts on the model for `choice`.
DressedModel dressModel(const SkinModel& model, const SkinPackage& skin, const SkinChoice& choice);

} // namespace quorrel
