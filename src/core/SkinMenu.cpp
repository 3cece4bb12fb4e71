#include "core/SkinMenu.h"

#include <QSet>

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

QString lower(QStringView text) {
    return text.toString().toLower();
}

bool sameText(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool described(const IntEntry& entry) {
    return entry.description && !entry.description->isEmpty() &&
           sameText(entry.className, u"Texture");
}

QHash<QString, SkinGroup> groupsByKey(const QList<SkinGroup>& groups) {
    QHash<QString, SkinGroup> byKey;
    for (const SkinGroup& group : groups)
        byKey.insert(lower(group.name), group);
    return byKey;
}

} // namespace

bool isTextureClass(QStringView className) {
    static const QStringList classes = {
        QStringLiteral("Texture"),        QStringLiteral("ScriptedTexture"),
        QStringLiteral("FractalTexture"), QStringLiteral("FireTexture"),
        QStringLiteral("IceTexture"),     QStringLiteral("WaterTexture"),
        QStringLiteral("WaveTexture"),    QStringLiteral("WetTexture")};
    return classes.contains(className, Qt::CaseInsensitive);
}

QStringList textureNames(const PackageTables& tables) {
    QStringList textures;
    QSet<QString> seen;
    for (const PackageExport& object : tables.exports) {
        if (isTextureClass(object.className) && !seen.contains(lower(object.objectName))) {
            seen.insert(lower(object.objectName));
            textures.append(object.objectName);
        }
    }
    return textures;
}

QList<SkinGroup> skinGroups(const QStringList& textures) {
    QList<SkinGroup> groups;
    QHash<QString, qsizetype> index;
    for (const QString& texture : textures) {
        if (kindOf(texture) != Kind::Skin)
            continue;
        const QString key = lower(texture.left(4));
        if (!index.contains(key)) {
            index.insert(key, groups.size());
            groups.append({texture.left(4), texture, QChar()});
        } else if (SkinGroup& group = groups[index.value(key)]; texture[4] < group.skinTexture[4]) {
            group.name = texture.left(4);
            group.skinTexture = texture;
        }
    }
    for (const QString& texture : textures) {
        const auto at = index.constFind(lower(texture.left(4)));
        if (kindOf(texture) != Kind::Face || at == index.cend())
            continue;
        QChar& slot = groups[*at].faceSlot;
        if (slot.isNull() || texture[4] < slot)
            slot = texture[4];
    }
    return groups;
}

QList<IntObject> completeObjects(const QStringList& textures, const QString& firstSkin,
                                 const QHash<QString, QString>& skinDescriptions) {
    const QList<SkinGroup> groups = skinGroups(textures);
    const QHash<QString, SkinGroup> byKey = groupsByKey(groups);
    QList<IntObject> objects;
    for (const QString& texture : textures) {
        IntObject object{texture, std::nullopt};
        const Kind kind = kindOf(texture);
        const auto group = byKey.constFind(lower(texture.left(4)));
        if (kind != Kind::Other && group != byKey.cend()) {
            object.name = group->name + texture.sliced(4);
            const QString key = lower(group->name);
            if (texture == group->skinTexture)
                object.description = skinDescriptions.value(
                    key, key == lower(groups.first().name) ? firstSkin : group->name);
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
        if (described(entry) && entry.object.size() <= 5) {
            if (!first.contains(entry.object.left(4)))
                first.insert(entry.object.left(4), skins.size());
            skins.append({entry.object, *entry.description, {}});
        }
    }
    for (const IntEntry& entry : entries) {
        const auto skin = first.constFind(entry.object.left(4));
        if (described(entry) && entry.object.size() > 5 && skin != first.cend())
            skins[*skin].faces.append({entry.object, *entry.description});
    }
    return skins;
}

QStringList menuProblems(const QStringList& textures, const QList<IntEntry>& entries,
                         const QString& packageName) {
    QStringList problems;
    const QList<SkinGroup> groups = skinGroups(textures);
    const QHash<QString, SkinGroup> byKey = groupsByKey(groups);
    QSet<QString> held;
    for (const QString& texture : textures)
        held.insert(lower(texture));
    QSet<QString> listedExactly, listedAnyCase, describedTextures;
    for (const MenuSkin& skin : menuSkins(entries)) {
        listedExactly.insert(skin.texture.left(4));
        listedAnyCase.insert(lower(skin.texture.left(4)));
    }

    for (const IntEntry& entry : entries) {
        if (!sameText(entry.className, u"Texture"))
            continue;
        const QString label = QStringLiteral("%1.%2 (line %3)")
                                  .arg(entry.package, entry.object, QString::number(entry.line));
        if (!sameText(entry.package, packageName)) {
            problems << label + QStringLiteral(": its package part is not the file's name \"%1\"")
                                    .arg(packageName);
            continue;
        }
        if (!held.contains(lower(entry.object))) {
            problems << label + QStringLiteral(": the package holds no texture of that name");
            continue;
        }
        if (!described(entry))
            continue;
        describedTextures.insert(lower(entry.object));
        const Kind kind = kindOf(entry.object);
        const QString group = entry.object.left(4);
        if (kind == Kind::Team && byKey.contains(lower(group)))
            problems << entry.object +
                            QStringLiteral(": a team texture with a description; the menu lists "
                                           "it as a face");
        else if (kind == Kind::Face && !listedExactly.contains(group) &&
                 listedAnyCase.contains(lower(group)))
            problems << entry.object +
                            QStringLiteral(": its first four characters differ in case from its "
                                           "skin's; the menu won't list the face");
    }

    for (const SkinGroup& group : groups) {
        if (!listedAnyCase.contains(lower(group.name)))
            problems << group.skinTexture +
                            QStringLiteral(": the skin has no description; the menu won't list it");
    }
    for (const QString& texture : textures) {
        const auto group = byKey.constFind(lower(texture.left(4)));
        if (kindOf(texture) != Kind::Face || group == byKey.cend())
            continue;
        const QChar digit = texture[4], slot = group->faceSlot;
        const QString face = texture.sliced(5);
        const QString portrait = group->name + u'5' + face;
        const QString atSlot = group->name + slot + face;
        if (digit == slot) {
            if (!describedTextures.contains(lower(texture)))
                problems << texture + QStringLiteral(": the face has no description; the menu "
                                                     "won't list it");
            if (slot != u'5' && !held.contains(lower(portrait)))
                problems << texture + QStringLiteral(": the face has no portrait ") + portrait;
        } else if (digit == u'5' && !held.contains(lower(atSlot))) {
            problems << texture + QStringLiteral(": a portrait without its face ") + atSlot;
        } else if (digit == u'5') {
            if (describedTextures.contains(lower(texture)))
                problems << texture + QStringLiteral(": a portrait with a description; the menu "
                                                     "lists it as a face");
        } else {
            problems << texture + QStringLiteral(": a face at digit %1, but the group's faces "
                                                 "are at digit %2; the menu won't list it")
                                      .arg(digit)
                                      .arg(slot);
        }
    }
    return problems;
}

QString walkDifference(const NameWalk& walk, const QStringList& names) {
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i >= walk.names.size())
            return QStringLiteral("the byte walk reads %1 of the header's %2 names")
                .arg(walk.names.size())
                .arg(names.size());
        if (walk.names[i] != names[i])
            return QStringLiteral("the byte walk reads name %1 as \"%2\" where the header has "
                                  "\"%3\"")
                .arg(i)
                .arg(walk.names[i], names[i]);
    }
    return QString();
}

} // namespace quorrel
