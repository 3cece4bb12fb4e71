#pragma once

#include "rules/PlayerModels.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

// Which texture the player menu puts into each of a model's four skin slots, for a skin, a face
// and a team.
namespace quorrel {

// The skins the package offers the model, in package order: its skin groups' four characters, or
// for a single-skin model (isSingleSkin()) the textures that are skins to it (singleSkinRole()).
QStringList modelSkins(QStringView meshName, const QStringList& textures);

struct SkinChoice {
    QString group; // four characters ("cmdo"); for a single-skin model, the skin texture's name
    QString face;  // "Blake"; empty: none
    int team = -1; // 0 red, 1 blue, 2 green, 3 gold; -1: none
};

struct SkinSlot {
    QString wanted;  // the texture the rules ask for
    QString texture; // the texture it gets, as the package names it; empty: missing
    bool missing() const { return texture.isEmpty(); }
};

struct SkinSlots {
    SkinLayout layout = SkinLayout::Guessed;
    std::array<SkinSlot, 4> slot; // slots 0-3
    bool guessed() const { return layout == SkinLayout::Guessed; }
};

// The textures for each slot, found among `textures` without regard to case. Where a wanted
// texture is missing, the slot falls back to the group's own (group and slot number plus one),
// or for a single-skin model to its skin; a slot that still has none is missing, to be drawn in
// one flat colour. `textures` should hold the skin package's and the mesh package's textures (the
// cow's pack, for one, lives in the mesh's package).
SkinSlots skinSlots(QStringView meshName, const SkinChoice& choice, const QStringList& textures);

// The teams (0 red, 1 blue, 2 green, 3 gold) whose colours the package holds for the skin: those
// for which some slot gets a team texture of its own rather than the skin's.
QList<int> teamColours(QStringView meshName, const QString& skin, const QStringList& textures);

// "red", "blue", "green" or "gold".
QString teamName(int team);

} // namespace quorrel
