#pragma once

#include "core/IntReader.h"
#include "core/IntText.h"
#include "core/PackageReader.h"
#include "core/PackageScan.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// How the game's player-setup menu turns a skin package and its .int into skins and faces. A skin
// texture is four characters and a slot digit ("Tigr1"); a face is that and a face name
// ("Tigr4Malcolm"); a team texture holds a "_" ("Tigr1T_0"). The menu matches names exactly,
// while the game loads textures without regard to case.
namespace quorrel {

// Texture and the engine's classes derived from it: ScriptedTexture and the procedural ones
// (FractalTexture, FireTexture, IceTexture, WaterTexture, WaveTexture, WetTexture). Palettes and
// everything else are not textures. Names ignore case, as the engine's do.
bool isTextureClass(QStringView className);

// The package's textures in export order, each name once.
QStringList textureNames(const PackageTables& tables);

// Four characters that start a skin texture, with the textures named after them.
struct SkinGroup {
    QString name;        // as written in the skin texture
    QString skinTexture; // the lowest-numbered five-character texture
    QChar faceSlot;      // the lowest digit among its faces; null when it has none
};

// The groups that hold a skin texture, in the order of their first skin texture.
QList<SkinGroup> skinGroups(const QStringList& textures);

// The .int objects the game needs: every texture, named with its group written as in the group's
// skin texture; each group's skin texture described by `skinDescriptions` (keys in lower case) or
// else by `firstSkin` for the first group and by its own name for the others; each face at its
// group's face slot described by its face name; nothing else described.
QList<IntObject> completeObjects(const QStringList& textures, const QString& firstSkin,
                                 const QHash<QString, QString>& skinDescriptions);

// What the menu lists, from an .int alone.
struct MenuFace {
    QString texture;
    QString description;
};
struct MenuSkin {
    QString texture;
    QString description;
    QList<MenuFace> faces;
};
QList<MenuSkin> menuSkins(const QList<IntEntry>& entries);

// One line per way the menu will differ from what the package holds, each starting with the
// texture or entry concerned. `packageName` is the file's name without ".utx".
QStringList menuProblems(const QStringList& textures, const QList<IntEntry>& entries,
                         const QString& packageName);

// Where the byte walk parts from the header's name table; empty when it reads the same names
// first (what it reads past the table does not count).
QString walkDifference(const NameWalk& walk, const QStringList& names);

} // namespace quorrel
