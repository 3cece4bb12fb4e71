#include "rules/SkinMenu.h"

#include "base/IgnoringCase.h"
#include "rules/PlayerModels.h"

#include <QSet>

#include <algorithm>

namespace quorrel {
namespace {

enum class Kind { Other, Skin, Face, Team };

Kind kindOf(QStringView name) {
    if (name.size() < 5 || name[4] < u'0' || name[4] > u'9')
        return Kind::Other;
    if (name.size() == 5)
        return Kind::Skin;
    return name.contains(u'_') ? Kind::Team : Kind::Face;
}

QString groupKey(QStringView texture) {
    return caseKey(texture.left(4));
}

QHash<QString, SkinGroup> groupsByKey(const QList<SkinGroup>& groups) {
    QHash<QString, SkinGroup> byKey;
    for (const SkinGroup& group : groups)
        byKey.insert(caseKey(group.name), group);
    return byKey;
}

QSet<QString> heldKeys(const QStringList& textures) {
    QSet<QString> held;
    for (const QString& texture : textures)
        held.insert(caseKey(texture));
    return held;
}

// Both rules' findings on an entry itself: for another package, or for a texture the package
// lacks. False when there is one.
bool entryHeld(const IntEntry& entry, const QString& packageName, const QSet<QString>& held,
               QList<MenuFinding>& findings) {
    using F = MenuFinding::Kind;
    const bool foreign = !sameIgnoringCase(entry.package, packageName);
    if (!foreign && held.contains(caseKey(entry.object)))
        return true;
    findings << MenuFinding{foreign ? F::ForeignPackage : F::NoSuchTexture,
                            entry.object,
                            foreign ? packageName : QString(),
                            QChar(),
                            entry.package,
                            entry.line};
    return false;
}

QList<MenuFinding> singleSkinFindings(const QStringList& textures, const QList<IntEntry>& entries,
                                      const QString& packageName, const MenuModel& model) {
    using F = MenuFinding::Kind;
    QList<MenuFinding> findings;
    const QSet<QString> held = heldKeys(textures);
    QSet<QString> listed;
    for (const IntEntry& entry : entries) {
        if (!isTextureEntry(entry) || !entryHeld(entry, packageName, held, findings) ||
            !listsEntry(entry, model))
            continue;
        listed.insert(caseKey(entry.object));
        const SingleSkinRole role = singleSkinRole(model.mesh, entry.object);
        if (role != SingleSkinRole::Skin) {
            const F kind = role == SingleSkinRole::TalkPicture ? F::ListedTalkPicture
                           : role == SingleSkinRole::Team      ? F::ListedTeam
                                                               : F::ListedPack;
            findings << MenuFinding{kind, entry.object};
        }
    }
    for (const QString& texture : textures) {
        if (singleSkinRole(model.mesh, texture) == SingleSkinRole::Skin &&
            !listed.contains(caseKey(texture)))
            findings << MenuFinding{F::SkinNotListed, texture};
    }
    return findings;
}

} // namespace

bool isSkinTexture(QStringView texture) {
    return kindOf(texture) == Kind::Skin;
}

QList<SkinGroup> skinGroups(const QStringList& textures) {
    QList<SkinGroup> groups;
    QHash<QString, qsizetype> index;
    for (const QString& texture : textures) {
        if (kindOf(texture) != Kind::Skin)
            continue;
        const QString key = groupKey(texture);
        if (!index.contains(key)) {
            index.insert(key, groups.size());
            groups.append({texture.left(4), texture, QChar()});
        } else if (SkinGroup& group = groups[index.value(key)]; texture[4] < group.skinTexture[4]) {
            group.name = texture.left(4);
            group.skinTexture = texture;
        }
    }
    for (const QString& texture : textures) {
        const auto at = index.constFind(groupKey(texture));
        if (kindOf(texture) != Kind::Face || at == index.cend())
            continue;
        QChar& slot = groups[*at].faceSlot;
        if (slot.isNull() || texture[4] < slot)
            slot = texture[4];
    }
    return groups;
}

QStringList groupFaces(const QStringList& textures, const SkinGroup& group) {
    QStringList faces;
    for (const QString& texture : textures) {
        if (kindOf(texture) == Kind::Face && texture[4] == group.faceSlot &&
            groupKey(texture) == caseKey(group.name))
            faces << texture.sliced(5);
    }
    return faces;
}

QList<IntObject> completeObjects(const QStringList& textures, const QString& firstSkin,
                                 const QHash<QString, QString>& skinDescriptions) {
    const QList<SkinGroup> groups = skinGroups(textures);
    const QHash<QString, SkinGroup> byKey = groupsByKey(groups);
    QList<IntObject> objects;
    for (const QString& texture : textures) {
        IntObject object{texture, std::nullopt};
        const Kind kind = kindOf(texture);
        const auto group = byKey.constFind(groupKey(texture));
        if (kind != Kind::Other && group != byKey.cend()) {
            object.name = group->name + texture.sliced(4);
            const QString key = caseKey(group->name);
            if (texture == group->skinTexture)
                object.description = skinDescriptions.value(
                    key, key == caseKey(groups.first().name) ? firstSkin : group->name);
            else if (kind == Kind::Face && texture[4] == group->faceSlot)
                object.description = texture.sliced(5);
        }
        objects.append(object);
    }
    return objects;
}

QList<MenuSkin> menuSkins(const QList<IntEntry>& entries) {
    QList<MenuSkin> skins;
    QHash<QString, qsizetype> first; // the first skin of each four characters, matched exactly
    for (const IntEntry& entry : entries) {
        if (describesTexture(entry) && entry.object.size() <= 5) {
            if (!first.contains(entry.object.left(4)))
                first.insert(entry.object.left(4), skins.size());
            skins.append({entry.object, *entry.description, {}, entry.package});
        }
    }
    for (const IntEntry& entry : entries) {
        const auto skin = first.constFind(entry.object.left(4));
        if (describesTexture(entry) && entry.object.size() > 5 && skin != first.cend())
            skins[*skin].faces.append({entry.object, *entry.description, entry.package});
    }
    return skins;
}

TextureRole roleOf(QStringView texture, const QList<SkinGroup>& groups) {
    const auto group = std::find_if(groups.cbegin(), groups.cend(), [&](const SkinGroup& g) {
        return sameIgnoringCase(g.name, texture.left(4));
    });
    if (group == groups.cend())
        return TextureRole::Other;
    switch (kindOf(texture)) {
    case Kind::Skin:
        return TextureRole::Skin;
    case Kind::Team:
        return TextureRole::Team;
    case Kind::Face:
        return texture[4] == u'5' && group->faceSlot != u'5' ? TextureRole::Portrait
                                                             : TextureRole::Face;
    case Kind::Other:
        break;
    }
    return TextureRole::Other;
}

SkinLook skinLook(const QStringList& textures, const MenuSkin& skin, const MenuFace* face) {
    QHash<QString, QString> held; // by caseKey(), as the game loads them
    for (const QString& texture : textures)
        held.insert(caseKey(texture), texture);
    SkinLook look;
    if (kindOf(skin.texture) != Kind::Skin) { // a single-skin model's: the skin is all it wears
        look.slotTextures << held.value(caseKey(skin.texture));
        return look;
    }
    const QString group = skin.texture.left(4);
    if (face)
        look.portrait = held.value(caseKey(group + u'5' + face->texture.sliced(5)));
    QString digits; // the slots the skin's textures use, and the face's
    for (const QString& texture : textures) {
        if (kindOf(texture) == Kind::Skin && sameIgnoringCase(texture.left(4), group))
            digits += texture[4];
    }
    if (face)
        digits += face->texture[4];
    std::sort(digits.begin(), digits.end());
    digits.erase(std::unique(digits.begin(), digits.end()), digits.end());
    for (const QChar digit : digits) {
        const bool faceSlot = face && digit == face->texture[4];
        look.slotTextures << held.value(caseKey(faceSlot ? face->texture : group + digit));
    }
    return look;
}

QList<MenuFinding> menuFindings(const QStringList& textures, const QList<IntEntry>& entries,
                                const QString& packageName) {
    using F = MenuFinding::Kind;
    QList<MenuFinding> findings;
    auto find = [&findings](F kind, const QString& texture, const QString& other = QString(),
                            QChar slot = QChar()) {
        findings << MenuFinding{kind, texture, other, slot, QString(), 0};
    };
    const QList<SkinGroup> groups = skinGroups(textures);
    const QHash<QString, SkinGroup> byKey = groupsByKey(groups);
    const QSet<QString> held = heldKeys(textures);
    QSet<QString> listedExactly, listedAnyCase, describedTextures;
    for (const MenuSkin& skin : menuSkins(entries)) {
        listedExactly.insert(skin.texture.left(4));
        listedAnyCase.insert(groupKey(skin.texture));
    }

    for (const IntEntry& entry : entries) {
        if (!isTextureEntry(entry) || !entryHeld(entry, packageName, held, findings) ||
            !describesTexture(entry))
            continue;
        describedTextures.insert(caseKey(entry.object));
        const Kind kind = kindOf(entry.object);
        if (kind == Kind::Team && byKey.contains(groupKey(entry.object)))
            find(F::DescribedTeam, entry.object);
        else if (kind == Kind::Face && !listedExactly.contains(entry.object.left(4)) &&
                 listedAnyCase.contains(groupKey(entry.object)))
            find(F::FaceCaseDiffers, entry.object);
    }

    for (const SkinGroup& group : groups) {
        if (!listedAnyCase.contains(caseKey(group.name)))
            find(F::SkinUndescribed, group.skinTexture);
    }
    for (const QString& texture : textures) {
        const auto group = byKey.constFind(groupKey(texture));
        if (kindOf(texture) != Kind::Face || group == byKey.cend())
            continue;
        const QChar digit = texture[4], slot = group->faceSlot;
        const QString face = texture.sliced(5);
        const QString portrait = group->name + u'5' + face;
        const QString atSlot = group->name + slot + face;
        if (digit == slot) {
            if (!describedTextures.contains(caseKey(texture)))
                find(F::FaceUndescribed, texture);
            if (slot != u'5' && !held.contains(caseKey(portrait)))
                find(F::NoPortrait, texture, portrait);
        } else if (digit == u'5' && !held.contains(caseKey(atSlot))) {
            find(F::PortraitWithoutFace, texture, atSlot);
        } else if (digit == u'5') {
            if (describedTextures.contains(caseKey(texture)))
                find(F::DescribedPortrait, texture);
        } else {
            find(F::FaceOffSlot, texture, QString(), slot);
        }
    }
    return findings;
}

QString findingText(const MenuFinding& finding) {
    using F = MenuFinding::Kind;
    const QString& texture = finding.texture;
    const QString entry = QStringLiteral("%1.%2 (line %3)")
                              .arg(finding.package, texture, QString::number(finding.line));
    switch (finding.kind) {
    case F::ForeignPackage:
        return entry + QStringLiteral(": its package part is not the file's name \"%1\"")
                           .arg(finding.other);
    case F::NoSuchTexture:
        return entry + QStringLiteral(": the package holds no texture of that name");
    case F::DescribedTeam:
        return texture + QStringLiteral(": a team texture with a description; the menu lists it "
                                        "as a face");
    case F::FaceCaseDiffers:
        return texture + QStringLiteral(": its first four characters differ in case from its "
                                        "skin's; the menu won't list the face");
    case F::SkinUndescribed:
        return texture + QStringLiteral(": the skin has no description; the menu won't list it");
    case F::FaceUndescribed:
        return texture + QStringLiteral(": the face has no description; the menu won't list it");
    case F::NoPortrait:
        return texture + QStringLiteral(": the face has no portrait ") + finding.other;
    case F::PortraitWithoutFace:
        return texture + QStringLiteral(": a portrait without its face ") + finding.other;
    case F::DescribedPortrait:
        return texture + QStringLiteral(": a portrait with a description; the menu lists it as "
                                        "a face");
    case F::FaceOffSlot:
        return texture + QStringLiteral(": a face at digit %1, but the group's faces are at "
                                        "digit %2; the menu won't list it")
                             .arg(texture[4])
                             .arg(finding.slot);
    case F::ListedTalkPicture:
        return texture + QStringLiteral(": a talk picture, which the menu lists as a skin");
    case F::ListedTeam:
        return texture + QStringLiteral(": a team texture, which the menu lists as a skin: it "
                                        "leaves out only names beginning with \"T_\" as written");
    case F::ListedPack:
        return texture + QStringLiteral(": the model's pack, which the menu lists as a skin");
    case F::SkinNotListed:
        return texture + QStringLiteral(": no entry lists the skin; the menu won't list it");
    }
    return texture;
}

bool isSingleSkin(QStringView meshName, const QStringList& textures) {
    if (const StockModel* model = stockModel(meshName))
        return model->layout == SkinLayout::SingleSkin;
    return std::none_of(textures.begin(), textures.end(),
                        [](const QString& texture) { return isSkinTexture(texture); });
}

MenuModel menuModelOf(const QString& packageName, const QStringList& textures) {
    const QString mesh = skinMeshName(packageName);
    return {mesh, isSingleSkin(mesh, textures)};
}

bool listsEntry(const IntEntry& entry, const MenuModel& model) {
    const QString name =
        entry.package.isEmpty() ? entry.object : entry.package + u'.' + entry.object;
    if (!isTextureEntry(entry) || !startsWithIgnoringCase(name, model.mesh))
        return false;
    return model.singleSkin ? !entry.object.startsWith(u"T_") : describesTexture(entry);
}

QList<MenuSkin> listedSkins(const QList<IntEntry>& entries, const MenuModel& model) {
    QList<IntEntry> listed;
    for (const IntEntry& entry : entries) {
        if (listsEntry(entry, model))
            listed << entry;
    }
    if (!model.singleSkin)
        return menuSkins(listed);
    QList<MenuSkin> skins;
    for (const IntEntry& entry : listed)
        skins.append({entry.object,
                      describesTexture(entry) ? *entry.description : entry.object,
                      {},
                      entry.package});
    return skins;
}

QList<IntObject> gameObjects(const QStringList& textures, const MenuModel& model,
                             const QString& firstSkin,
                             const QHash<QString, QString>& skinDescriptions) {
    if (!model.singleSkin)
        return completeObjects(textures, firstSkin, skinDescriptions);
    QList<IntObject> objects;
    for (const QString& texture : textures) {
        if (singleSkinRole(model.mesh, texture) == SingleSkinRole::Skin)
            objects.append({texture, texture});
    }
    return objects;
}

QList<MenuFinding> modelFindings(const QStringList& textures, const QList<IntEntry>& entries,
                                 const QString& packageName, const MenuModel& model) {
    return model.singleSkin ? singleSkinFindings(textures, entries, packageName, model)
                            : menuFindings(textures, entries, packageName);
}

QList<TextureRole> textureRoles(const QStringList& textures, const MenuModel& model) {
    QList<TextureRole> roles;
    const QList<SkinGroup> groups = model.singleSkin ? QList<SkinGroup>() : skinGroups(textures);
    for (const QString& texture : textures) {
        if (!model.singleSkin) {
            roles << roleOf(texture, groups);
            continue;
        }
        switch (singleSkinRole(model.mesh, texture)) {
        case SingleSkinRole::Skin:
            roles << TextureRole::Skin;
            break;
        case SingleSkinRole::TalkPicture:
            roles << TextureRole::Portrait;
            break;
        case SingleSkinRole::Team:
            roles << TextureRole::Team;
            break;
        case SingleSkinRole::Pack:
            roles << TextureRole::Other;
            break;
        }
    }
    return roles;
}

} // namespace quorrel
