#include "rules/SkinSlots.h"

#include "base/IgnoringCase.h"
#include "rules/SkinMenu.h"

#include <QHash>

#include <optional>

namespace quorrel {
namespace {

// The slots the menu fills from the group's textures; where two coincide, the later wins.
struct SlotRoles {
    int fixed, face, team1, team2;
};

SlotRoles rolesOf(SkinLayout layout) {
    switch (layout) {
    case SkinLayout::Soldier:
        return {2, 3, 0, 1};
    case SkinLayout::FemaleCommando:
        return {0, 3, 0, 1};
    default:
        return {0, 1, 2, 3};
    }
}

QString teamSuffix(int team) {
    return QStringLiteral("T_") + QString::number(team);
}

class Finder {
public:
    explicit Finder(const QStringList& textures) {
        for (const QString& texture : textures)
            m_byKey.insert(caseKey(texture), texture);
    }

    // The slot asks for `wanted`; without it, for `fallback`.
    SkinSlot slot(const QString& wanted, const QString& fallback) const {
        QString texture = m_byKey.value(caseKey(wanted));
        if (texture.isEmpty())
            texture = m_byKey.value(caseKey(fallback));
        return {wanted, texture};
    }

    bool has(const QString& texture) const { return m_byKey.contains(caseKey(texture)); }

private:
    QHash<QString, QString> m_byKey;
};

} // namespace

QStringList modelSkins(QStringView meshName, const QStringList& textures) {
    QStringList skins;
    if (isSingleSkin(meshName, textures)) {
        for (const QString& texture : textures) {
            if (singleSkinRole(meshName, texture) == SingleSkinRole::Skin)
                skins << texture;
        }
        return skins;
    }
    for (const SkinGroup& group : skinGroups(textures))
        skins << group.name;
    return skins;
}

SkinSlots skinSlots(QStringView meshName, const SkinChoice& choice, const QStringList& textures) {
    const Finder find(textures);
    SkinSlots result;
    result.layout =
        isSingleSkin(meshName, textures) ? SkinLayout::SingleSkin : skinLayoutFor(meshName);
    auto& filled = result.slot;
    const bool team = choice.team >= 0;
    const auto own = [&](int slot) { return choice.group + QString::number(slot + 1); };
    const auto teamed = [&](int slot) {
        return team ? own(slot) + teamSuffix(choice.team) : own(slot);
    };
    const auto put = [&](int slot, const QString& wanted) {
        filled[slot] = find.slot(wanted, own(slot));
    };

    switch (result.layout) {
    case SkinLayout::SingleSkin: {
        // The skin fills every slot no other texture is given: the cow's body names slot 1. Other
        // models than the stock ones have no team textures the tool knows.
        const StockModel* model = stockModel(meshName);
        const QString skin = team && model
                                 ? model->teamTexture.toString() + QString::number(choice.team)
                                 : choice.group;
        filled.fill(find.slot(skin, choice.group));
        if (model && !model->pack.isEmpty())
            filled[2] = find.slot(model->pack.toString(), QString());
        break;
    }
    case SkinLayout::Boss:
        for (int slot = 0; slot < 4; ++slot)
            put(slot, teamed(slot));
        break;
    case SkinLayout::Guessed: {
        const QList<SkinGroup> groups = skinGroups(textures);
        std::optional<int> faceSlot;
        for (const SkinGroup& group : groups) {
            if (sameIgnoringCase(group.name, choice.group) && !group.faceSlot.isNull())
                faceSlot = group.faceSlot.digitValue() - 1;
        }
        for (int slot = 0; slot < 4; ++slot) {
            if (slot == faceSlot && !choice.face.isEmpty())
                put(slot, own(slot) + choice.face);
            else if (team && find.has(teamed(slot)))
                put(slot, teamed(slot));
            else
                put(slot, own(slot));
        }
        break;
    }
    default: {
        const SlotRoles roles = rolesOf(result.layout);
        put(roles.fixed, own(roles.fixed));
        put(roles.face, own(roles.face) + choice.face);
        put(roles.team1, teamed(roles.team1));
        put(roles.team2, teamed(roles.team2));
        break;
    }
    }
    return result;
}

QList<int> teamColours(QStringView meshName, const QString& skin, const QStringList& textures) {
    const SkinSlots plain = skinSlots(meshName, {skin, QString(), -1}, textures);
    QList<int> teams;
    for (int team = 0; team < 4; ++team) {
        const SkinSlots teamed = skinSlots(meshName, {skin, QString(), team}, textures);
        for (std::size_t i = 0; i < teamed.slot.size(); ++i) {
            const SkinSlot& slot = teamed.slot[i];
            if (slot.wanted != plain.slot[i].wanted && !slot.missing() &&
                sameIgnoringCase(slot.texture, slot.wanted)) {
                teams << team;
                break;
            }
        }
    }
    return teams;
}

QString teamName(int team) {
    static const QString names[] = {QStringLiteral("red"), QStringLiteral("blue"),
                                    QStringLiteral("green"), QStringLiteral("gold")};
    return team >= 0 && team < 4 ? names[team] : QString();
}

} // namespace quorrel
