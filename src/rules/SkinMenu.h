#pragma once

#include "formats/IntFile.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// How the game's player-setup menu turns a skin package and its .int into skins and faces. A skin
// texture is four characters and a slot digit ("Tigr1"); a face is that and a face name
// ("Tigr4Malcolm"); a team texture holds a "_" ("Tigr1T_0"). The menu matches names exactly,
// while the game loads textures without regard to case. Single-skin models (the Nali and the cow)
// follow another rule: see MenuModel.
namespace quorrel {

// Whether the texture's name is four characters and a slot digit.
bool isSkinTexture(QStringView texture);

// Four characters that start a skin texture, with the textures named after them.
struct SkinGroup {
    QString name;        // as written in the skin texture
    QString skinTexture; // the lowest-numbered five-character texture
    QChar faceSlot;      // the lowest digit among its faces; null when it has none
};

// The groups that hold a skin texture, in the order of their first skin texture.
QList<SkinGroup> skinGroups(const QStringList& textures);

// The names of the group's faces at its face slot ("Blake" of "cmdo2Blake"), in texture order.
QStringList groupFaces(const QStringList& textures, const SkinGroup& group);

// The .int objects the game needs: every texture, named with its group written as in the group's
// skin texture; each group's skin texture described by `skinDescriptions` (keys by caseKey()) or
// else by `firstSkin` for the first group and by its own name for the others; each face at its
// group's face slot described by its face name; nothing else described.
QList<IntObject> completeObjects(const QStringList& textures, const QString& firstSkin,
                                 const QHash<QString, QString>& skinDescriptions);

// What the menu lists, from an .int alone.
struct MenuFace {
    QString texture;
    QString description;
    QString package{}; // as the entry names it
};
struct MenuSkin {
    QString texture;
    QString description;
    QList<MenuFace> faces;
    QString package{};
};
QList<MenuSkin> menuSkins(const QList<IntEntry>& entries);

// What a texture is to the skins of its package.
enum class TextureRole { Skin, Face, Portrait, Team, Other };
TextureRole roleOf(QStringView texture, const QList<SkinGroup>& groups);

// What the menu shows for a skin and one of its faces: the face's portrait (its digit-5 texture)
// and the skin's textures by slot digit, the face's texture at its own slot. Names as the package
// holds them; empty where the package holds none.
struct SkinLook {
    QString portrait;
    QStringList slotTextures; // one per slot digit the skin uses, in digit order
};
SkinLook skinLook(const QStringList& textures, const MenuSkin& skin, const MenuFace* face);

// One way the menu will differ from what the package holds.
struct MenuFinding {
    enum class Kind {
        ForeignPackage,      // an entry for another package than the file's: `other` names it
        NoSuchTexture,       // an entry for a texture the package lacks
        DescribedTeam,       // a described team texture, which the menu lists as a face
        FaceCaseDiffers,     // a face whose first four characters differ in case from its skin's
        SkinUndescribed,     // a skin without a description, which the menu leaves out
        FaceUndescribed,     // a face at its group's slot without a description
        NoPortrait,          // a face without its portrait: `other` names the portrait
        PortraitWithoutFace, // a portrait without its face: `other` names the face
        DescribedPortrait,   // a described portrait, which the menu lists as a face
        FaceOffSlot,         // a face off its group's face slot, `slot`
        // The single-skin rule's:
        ListedTalkPicture, // an entry lists a talk picture ("...face") as a skin
        ListedTeam,    // an entry lists a team texture as a skin ("t_cow_0": not "T_" as written)
        ListedPack,    // an entry lists the model's pack as a skin
        SkinNotListed, // a skin that no entry lists
    };
    Kind kind;
    QString texture; // as the package holds it, or as the .int entry names it
    QString other{};
    QChar slot{};
    // The entry concerned, for ForeignPackage and NoSuchTexture: its package part and line.
    QString package{};
    int line = 0;
};

// The findings in the order the menu meets them: the .int's entries, then the skins, then the
// faces. `packageName` is the file's name without ".utx".
QList<MenuFinding> menuFindings(const QStringList& textures, const QList<IntEntry>& entries,
                                const QString& packageName);

// A finding in one line of English, starting with the texture or entry concerned.
QString findingText(const MenuFinding& finding);

// A player model as its menu lists skins: by the multi-skin rule above, or by the single-skin
// rule the game's menu keeps for classes that are not multi-skinned: every texture entry whose
// whole name ("Package.Object") begins with the mesh name (ignoring case), described or not, save
// those whose object begins with "T_" (as written: the team textures), each shown by its name (the
// 469 patch shows its description, when it has one); no faces.
struct MenuModel {
    QString mesh;
    bool singleSkin = false;
};

// Single-skin: the bonus pack's Nali and cow, and any other model whose skin package holds no
// skin texture. The game's other stock models are multi-skin.
bool isSingleSkin(QStringView meshName, const QStringList& textures);

// The model a skin package is named for (skinMeshName()), with the rule its textures give.
MenuModel menuModelOf(const QString& packageName, const QStringList& textures);

// Whether the model's menu lists the entry: a texture entry whose whole name begins with the mesh
// name; by the multi-skin rule a described one, by the single-skin rule one not of "T_".
bool listsEntry(const IntEntry& entry, const MenuModel& model);

// What the model's menu lists: menuSkins() of the entries it lists; by the single-skin rule each
// entry it lists as a skin, described by its own description or else its name.
QList<MenuSkin> listedSkins(const QList<IntEntry>& entries, const MenuModel& model);

// The .int objects the game needs for a package of the model: completeObjects(); by the
// single-skin rule only the model's skins (modelSkins()), each described by its name.
QList<IntObject> gameObjects(const QStringList& textures, const MenuModel& model,
                             const QString& firstSkin,
                             const QHash<QString, QString>& skinDescriptions);

// menuFindings(); by the single-skin rule the entries for another package or for a texture the
// package lacks, each talk picture, team texture or pack an entry lists as a skin, then each skin
// no entry lists.
QList<MenuFinding> modelFindings(const QStringList& textures, const QList<IntEntry>& entries,
                                 const QString& packageName, const MenuModel& model);

// Each texture's role, in order: roleOf(); by the single-skin rule a skin, a portrait (the talk
// picture), a team texture, or other (the pack).
QList<TextureRole> textureRoles(const QStringList& textures, const MenuModel& model);

} // namespace quorrel
