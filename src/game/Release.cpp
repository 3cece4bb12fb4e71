#include "game/Release.h"

#include "base/Failure.h"
#include "base/Windows1252.h"
#include "formats/IntFile.h"
#include "formats/ZipArchive.h"
#include "rules/PlayerModels.h"
#include "rules/SkinMenu.h"
#include "rules/SkinSlots.h"

namespace quorrel {

QString releaseNotes(const SkinPackage& package, const QString& intText) {
    const QList<IntEntry> entries = readIntEntries(intText);
    const MenuModel model = menuModelOf(package.name, package.textures);
    const QString& mesh = model.mesh;
    QStringList lines{package.name + QStringLiteral(": a player skin for Unreal Tournament"),
                      QString(), QStringLiteral("Model: ") + mesh, QString(),
                      QStringLiteral("The player menu lists:")};
    for (const MenuSkin& skin : listedSkins(entries, model)) {
        lines << QStringLiteral("  skin %1 \"%2\"").arg(skin.texture, skin.description);
        for (const MenuFace& face : skin.faces)
            lines << QStringLiteral("    face %1 \"%2\"").arg(face.texture, face.description);
        QStringList teams;
        const QString choice = model.singleSkin ? skin.texture : skin.texture.left(4);
        for (const int team : teamColours(mesh, choice, package.textures))
            teams << teamName(team);
        lines << QStringLiteral("    team colours: ") +
                     (teams.isEmpty() ? QStringLiteral("none") : teams.join(QStringLiteral(", ")));
    }
    lines << QString() << QStringLiteral("What the menu will miss:");
    const QList<MenuFinding> findings =
        modelFindings(package.textures, entries, package.name, model);
    for (const MenuFinding& finding : findings)
        lines << QStringLiteral("  ") + findingText(finding);
    if (findings.isEmpty())
        lines << QStringLiteral("  nothing");
    lines << QString()
          << QStringLiteral("To install, unzip into the game's folder (UnrealTournament): the "
                            "package goes into Textures, its .int into System.");
    return lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
}

QByteArray releaseZip(const SkinPackage& package, const QByteArray& intBytes) {
    const QString intText = decodeIntFile(intBytes);
    const MenuModel model = menuModelOf(package.name, package.textures);
    if (listedSkins(readIntEntries(intText), model).isEmpty())
        throw Failure::refused(
            QStringLiteral("the player menu would list no skin from this .int: ") +
            (model.singleSkin
                 ? QStringLiteral("list one of the package's skin textures")
                 : QStringLiteral("describe a skin texture (four characters and a slot digit, as "
                                  "Tigr1)")));
    return zipArchive(
        {{QStringLiteral("Textures/") + package.name + QStringLiteral(".utx"), package.bytes},
         {QStringLiteral("System/") + package.name + QStringLiteral(".int"), intBytes},
         {package.name + QStringLiteral(".txt"),
          windows1252::encode(releaseNotes(package, intText))}});
}

} // namespace quorrel
