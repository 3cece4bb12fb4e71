#include "cli/MakeRun.h"

#include "base/Failure.h"
#include "base/Files.h"
#include "base/IgnoringCase.h"
#include "cli/Output.h"
#include "game/PictureTextures.h"

#include <QFileInfo>
#include <QHash>

namespace quorrel::cli {

int makePackage(const Settings& settings) {
    // The names first: a refusal costs no decoding.
    QHash<QString, QString> named; // each picture by caseKey() of its texture's name
    for (const QString& picture : settings.packages) {
        const QString name = QFileInfo(picture).completeBaseName();
        std::optional<QString> bad = badTextureName(name);
        if (!bad && named.contains(caseKey(name)))
            bad = QStringLiteral("its texture would have the name of that of %1, case aside")
                      .arg(named.value(caseKey(name)));
        if (bad) {
            printError(picture + QStringLiteral(": ") + *bad);
            return 1;
        }
        named.insert(caseKey(name), picture);
    }
    QList<PackageTexture> textures;
    for (const QString& picture : settings.packages) {
        try {
            textures << readPictureTexture(picture, settings.masked);
        } catch (const std::exception& failure) { // no memory for a huge picture too
            printError(picture + QStringLiteral(": ") + failureText(failure));
            return 1;
        }
    }
    QByteArray package;
    try {
        package = writeTexturePackage(QFileInfo(settings.makeFile).completeBaseName(), textures);
    } catch (const Failure& failure) {
        printError(settings.makeFile + QStringLiteral(": ") + failure.text());
        return 1;
    }
    writeWholeFile(settings.makeFile, package);
    writeOut((textureLines(textures).join(u'\n') + u'\n').toUtf8());
    return 0;
}

} // namespace quorrel::cli
