#include "cli/PackageRuns.h"

#include "base/Failure.h"
#include "base/Files.h"
#include "base/IgnoringCase.h"
#include "cli/Output.h"
#include "formats/IntFile.h"
#include "formats/Package.h"
#include "formats/PictureFile.h"
#include "formats/Texture.h"
#include "game/Release.h"
#include "game/SkinModel.h"
#include "game/SkinPackage.h"
#include "render/ModelPicture.h"
#include "rules/NameFields.h"
#include "rules/NameWalk.h"
#include "rules/PictureScan.h"
#include "rules/PlayerModels.h"
#include "rules/SkinMenu.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <new>

namespace quorrel::cli {
namespace {

QString packageNameOf(const QString& package) {
    return packageNameFromTitle(QFileInfo(package).fileName());
}

// The name fields the window would hold: derived from the package name, then the user's own.
NameFieldValues fieldsFor(const QString& packageName, const Settings& settings) {
    NameFieldValues fields = nameFieldsFor(packageName);
    fields.meshName = settings.mesh.value_or(fields.meshName);
    fields.skinDescription = settings.description.value_or(fields.skinDescription);
    return fields;
}

// A texture name that names a file in the package's folder and nowhere else, on every system.
bool plainFileName(const QString& name) {
    static const QString reserved = QStringLiteral("/\\:*?\"<>|");
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           std::none_of(name.begin(), name.end(),
                        [](QChar c) { return c < u' ' || reserved.contains(c); });
}

// The .int --complete writes: the first skin described by --description, or the package's name;
// a single-skin model's skins by their names. Throws Failure (Refused) for a --description a
// single-skin model does not show, or a package that holds none of its skins.
QByteArray completeIntBytes(const SkinPackage& skin, const Settings& settings) {
    const MenuModel model = menuModelOf(skin.name, skin.textures);
    if (model.singleSkin && settings.description)
        throw Failure::refused(QStringLiteral("--description: the menu shows the skins of %1, a "
                                              "single-skin model, by their names")
                                   .arg(model.mesh));
    const QList<IntObject> objects =
        gameObjects(skin.textures, model, settings.description.value_or(skin.name), settings.skins);
    if (objects.isEmpty())
        throw Failure::refused(
            QStringLiteral("the package holds no skin for %1, a single-skin model: only team "
                           "textures, talk pictures or its pack")
                .arg(model.mesh));
    return intFileBytes(buildIntText(skin.name, objects));
}

} // namespace

int eachPackage(const Settings& settings, PackageRun run) {
    int status = 0;
    for (const QString& package : settings.packages) {
        Outcome outcome;
        try {
            outcome = run(package, settings);
        } catch (const std::exception& failure) { // no memory for a huge package too
            outcome = Outcome::failed(failureText(failure));
        }
        for (const QString& note : outcome.notes)
            printError(package + QStringLiteral(": ") + note);
        if (!outcome.failure.isEmpty())
            printError((outcome.file.isEmpty() ? package : outcome.file) + QStringLiteral(": ") +
                       outcome.failure);
        if (!outcome.failure.isEmpty() || outcome.problems)
            status = 1;
    }
    return status;
}

Outcome writeWindowInt(const QString& package, const Settings& settings) {
    const QString packageName = packageNameOf(package);
    deliverInt(package, packageName,
               windowIntBytes(readWholeFile(package), fieldsFor(packageName, settings)),
               settings.outputFolder);
    return {};
}

Outcome listNames(const QString& package, const Settings& settings) {
    const QString packageName = packageNameOf(package);
    const PictureScan scan =
        scanPictures(readWholeFile(package), fieldsFor(packageName, settings).meshName);
    requireComplete(scan);
    QString text;
    if (settings.namePackages)
        text += QStringLiteral("# ") + package + u'\n';
    text += QStringLiteral("[names]\n");
    for (const QString& name : scan.names)
        text += name + u'\n';
    text += QStringLiteral("[pictures]\n");
    for (const QString& picture : scan.pictures)
        text += picture + u'\n';
    writeOut(text.toUtf8());
    return {};
}

Outcome writeCompleteInt(const QString& package, const Settings& settings) {
    const SkinPackage skin = readSkinPackage(package);
    if (skin.textures.isEmpty())
        return Outcome::failed(QStringLiteral("the package holds no textures"));
    const QList<SkinGroup> groups = skinGroups(skin.textures);
    for (auto it = settings.skins.cbegin(); it != settings.skins.cend(); ++it) {
        if (std::none_of(groups.begin(), groups.end(),
                         [&](const SkinGroup& group) { return caseKey(group.name) == it.key(); }))
            return Outcome::failed(
                QStringLiteral("--skin %1: the package holds no skin %1").arg(it.key()));
    }
    deliverInt(package, skin.name, completeIntBytes(skin, settings), settings.outputFolder);
    return {};
}

Outcome writeRelease(const QString& package, const Settings& settings) {
    const SkinPackage skin = readSkinPackage(package);
    QByteArray intBytes;
    if (settings.intFile.isEmpty()) {
        intBytes = completeIntBytes(skin, settings);
    } else {
        try {
            intBytes = readWholeFile(settings.intFile);
        } catch (const Failure& failure) {
            return Outcome::failed(failure.text(), settings.intFile);
        }
    }
    writeWholeFile(settings.releaseFile, releaseZip(skin, intBytes));
    return {};
}

// Prints what the menu will list from the .int, then one line per problem.
Outcome checkMenu(const QString& package, const Settings& settings) {
    const QString title = QFileInfo(package).fileName();
    const SkinPackage skin = readSkinPackage(package);

    QStringList problems;
    QString text;
    if (!settings.intFile.isEmpty()) {
        try {
            text = decodeIntFile(readWholeFile(settings.intFile));
        } catch (const Failure& failure) { // an empty .int lists nothing, which is the finding
            if (failure.kind() != Failure::Kind::Empty)
                return Outcome::failed(failure.text(), settings.intFile);
        }
    } else {
        try {
            text = decodeIntFile(windowIntBytes(skin.bytes, fieldsFor(skin.name, settings)));
        } catch (const Failure& failure) {
            problems << title + QStringLiteral(": the default mode writes no .int: ") +
                            failure.text();
        }
        // The walk only matters to the .int the window would write; a given file names its own.
        const PackageTables& tables = skin.tables;
        if (const std::optional<QString> walk = walkDifference(walkNames(skin.bytes), tables.names))
            problems << QStringLiteral("%1: version %2: %3")
                            .arg(title, QString::number(tables.version), *walk);
    }

    const QList<IntEntry> entries = readIntEntries(text);
    const MenuModel model = menuModelOf(skin.name, skin.textures);
    const QList<MenuSkin> listed = listedSkins(entries, model);
    QString report = model.singleSkin ? QStringLiteral("%1 is single-skin: the menu lists "
                                                       "its skins by name, without faces\n")
                                            .arg(model.mesh)
                                      : QString();
    if (listed.isEmpty())
        report += QStringLiteral("the menu lists no skin\n");
    for (const MenuSkin& listedSkin : listed) {
        report +=
            QStringLiteral("skin %1 \"%2\"\n").arg(listedSkin.texture, listedSkin.description);
        for (const MenuFace& face : listedSkin.faces)
            report += QStringLiteral("  face %1 \"%2\"\n").arg(face.texture, face.description);
    }
    for (const MenuFinding& finding : modelFindings(skin.textures, entries, skin.name, model))
        problems << findingText(finding);
    for (const QString& problem : problems)
        report += problem + u'\n';
    if (problems.isEmpty())
        report += QStringLiteral("no problems\n");
    writeOut(report.toUtf8());
    return {QString(), QString(), !problems.isEmpty()};
}

// Draws the package's skin on the model its name gives, from the mesh in the game's files.
Outcome renderModel(const QString& package, const Settings& settings) {
    const SkinPackage skin = readSkinPackage(package);
    const QString meshName = settings.mesh.value_or(skinMeshName(skin.name));
    const QStringList named =
        settings.render.game.isEmpty() ? QStringList() : QStringList{settings.render.game};
    const SkinModel model = loadSkinModel(meshName, modelFolders(package, named));
    const SkinChoice choice = chooseSkin(model.mesh.name, skin.textures, settings.render.skin,
                                         settings.render.face, settings.render.team);
    const DressedModel dressed = dressModel(model, skin, choice);
    if (!dressed.problems.isEmpty()) // the view draws such a slot in one colour; a file does not
        throw Failure::notFound(dressed.problems.first());
    const Picture picture = drawModel(model.triangles, dressed.pictures, settings.render.size,
                                      settings.render.size, settings.render.yaw);
    writeWholeFile(settings.render.file, pngBytes(picture));
    return {};
}

// Writes each texture as DIR/PACKAGE/NAME.png; names each texture it does not write, and why.
Outcome writePictures(const QString& package, const Settings& settings) {
    const SkinPackage skin = readSkinPackage(package);
    const QList<TextureInfo> textures = readTextures(skin.bytes, skin.tables);
    if (textures.isEmpty())
        return Outcome::failed(QStringLiteral("the package holds no textures"));
    const QDir into(QDir(settings.picturesFolder).filePath(skin.name));
    const bool anyPicture = std::any_of(textures.begin(), textures.end(),
                                        [](const TextureInfo& t) { return t.failure.isEmpty(); });
    if (anyPicture && !into.mkpath(QStringLiteral(".")))
        throw Failure::notWritten(QDir::toNativeSeparators(into.path()));
    Outcome outcome;
    for (const TextureInfo& texture : textures) {
        if (!texture.hasPixels) {
            outcome.notes << texture.name + QStringLiteral(": skipped: ") + texture.failure;
            continue;
        }
        try {
            if (!texture.failure.isEmpty())
                throw Failure::damaged(texture.failure);
            if (!plainFileName(texture.name))
                throw Failure::damaged(QStringLiteral("the name cannot be a file name"));
            writeWholeFile(into.filePath(texture.name + QStringLiteral(".png")),
                           pngBytes(decodeTexture(skin.bytes, skin.tables, texture.exportIndex)));
        } catch (const Failure& failure) {
            outcome.notes << texture.name + QStringLiteral(": ") + failure.text();
            outcome.problems = true;
        }
    }
    return outcome;
}

} // namespace quorrel::cli
