#include "cli/GameRuns.h"

#include "base/Failure.h"
#include "base/Files.h"
#include "cli/Output.h"
#include "game/GameCheck.h"
#include "game/GameFolders.h"
#include "game/GamePage.h"

#include <QDir>

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

namespace quorrel::cli {
namespace {

GameCheck checkNamedGame(const Settings& settings) {
    if (!settings.gameFolder.isEmpty())
        return checkGame(settings.gameFolder);
    if (const std::optional<QString> folder = findGameFolder(kGameFolder, gamePlacesHere()))
        return checkGame(*folder);
    throw Failure::notFound(
        QStringLiteral("found no game folder (C:\\UnrealTournament, in the Wine prefix or where "
                       "the registry records the game); name one"));
}

bool errorIsTerminal() {
#ifdef Q_OS_WIN
    return _isatty(_fileno(stderr));
#else
    return isatty(STDERR_FILENO);
#endif
}

QString listing(const QString& kind, const QString& texture, const QString& description,
                const QString& package) {
    return QStringLiteral("%1 %2 \"%3\" from %4\n").arg(kind, texture, description, package);
}

} // namespace

int checkGameFolder(const Settings& settings) {
    const GameCheck check = checkNamedGame(settings);
    QString report = QStringLiteral("game folder %1\n").arg(QDir::toNativeSeparators(check.folder));
    for (const GameModel& model : check.models) {
        report +=
            QStringLiteral("%1, from %2%3\n")
                .arg(model.menu.mesh,
                     QDir::toNativeSeparators(QDir(check.folder).relativeFilePath(model.file)),
                     model.menu.singleSkin
                         ? QStringLiteral(", single-skin: its skins by their names")
                         : QString());
        if (model.skins.isEmpty())
            report += QStringLiteral("  no skin\n");
        for (const MenuSkin& skin : model.skins) {
            report +=
                listing(QStringLiteral("  skin"), skin.texture, skin.description, skin.package);
            for (const MenuFace& face : skin.faces)
                report += listing(QStringLiteral("    face"), face.texture, face.description,
                                  face.package);
        }
    }
    for (const GameProblem& problem : check.problems)
        report += problem.text + u'\n';
    if (check.problems.isEmpty())
        report += QStringLiteral("no problems\n");
    writeOut(report.toUtf8());
    return check.problems.isEmpty() ? 0 : 1;
}

int writeGallery(const Settings& settings) {
    const GameCheck check = checkNamedGame(settings);
    const bool terminal = errorIsTerminal();
    const QByteArray page = gamePage(check, [terminal](qsizetype done, qsizetype total) {
        if (!terminal)
            return;
        std::fprintf(stderr, "\rdrawing the skins: %lld of %lld", qlonglong(done),
                     qlonglong(total));
        if (done == total)
            std::fputc('\n', stderr);
        std::fflush(stderr);
    });
    writeWholeFile(settings.galleryFile, page);
    return check.problems.isEmpty() ? 0 : 1;
}

} // namespace quorrel::cli
