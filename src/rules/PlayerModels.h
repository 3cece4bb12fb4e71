#pragma once

#include <QString>
#include <QStringView>

// The game's player models as skins see them: which model a skin package is for, and how the
// player menu dresses the models that come with the game.
namespace quorrel {

enum class SkinLayout {
    Commando,       // Commando and the Skaarj hybrid TSkM
    Soldier,        // Soldier and SGirl
    FemaleCommando, // FCommando
    Boss,
    SingleSkin, // the Nali and the Nali cow: one skin texture, no groups
    Guessed,    // a model the tool knows no layout for
};

// A model that comes with the game: its mesh as the game names it, and the package that holds it.
struct StockModel {
    QStringView mesh;
    SkinLayout layout;
    QStringView package;
    QStringView teamTexture = {}; // a single-skin model's team textures, less the team's digit
    QStringView pack = {};        // the cow's pack, which slot 2 carries
};

// The stock model whose mesh has this name (ignoring case); nullptr for another model.
const StockModel* stockModel(QStringView meshName);

// Whether the package file ("Botpack.u", ignoring case) holds stock models.
bool isStockModelPackage(QStringView fileName);

// The layout of the model whose mesh has this name (ignoring case).
SkinLayout skinLayoutFor(QStringView meshName);

// What a texture is to a single-skin model: its talk picture ends in "face" ("warcowface"), a team
// texture begins with "T_" (both without regard to case), the pack is the cow's.
enum class SingleSkinRole { Skin, TalkPicture, Team, Pack };
SingleSkinRole singleSkinRole(QStringView meshName, QStringView texture);

// The mesh a skin package is named after: the part of the package name before the first "_",
// less a final "Skins" (either without regard to case); a stock model's mesh as the game writes
// it ("tskmskins" gives "TSkM").
QString skinMeshName(const QString& packageName);

} // namespace quorrel
