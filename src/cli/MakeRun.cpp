#include "cli/MakeRun.h"

#include "base/Failure.h"
#include "base/Files.h"
#include "cli/Output.h"
#include "game/PictureTextures.h"

#include <QFileInfo>

namespace quorrel::cli {

int makePackage(const Settings& settings) {
    // The names first: a refusal costs no decoding.
    const QStringList problems = textureNameProblems(settings.packages);
    for (qsizetype i = 0; i < problems.size(); ++i) {
        if (!problems[i].isEmpty()) {
            printError(settings.packages[i] + QStringLiteral(": ") + problems[i]);
            return 1;
        }
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
