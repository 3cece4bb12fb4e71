#include "workflows/GameFolderCheck.h"

#include "base/Failure.h"
#include "base/Files.h"
#include "game/GameCheck.h"
#include "game/GameFolders.h"
#include "workflows/BrowserSeam.h"
#include "workflows/FileDialogSeam.h"

#include <QDir>
#include <QTemporaryFile>

namespace quorrel {

std::optional<QString> CheckGameFolder(FileDialogSeam& dialog, BrowserSeam& browser,
                                       const PageProgress& progress) {
    const std::optional<ChosenFile> folder = dialog.choose(
        {FileDialogRequest::Mode::Folder, QString(), kGameFolder, QString(), QString()});
    if (!folder)
        return std::nullopt;
    const QString shown = QDir::toNativeSeparators(folder->path);
    try {
        const GameCheck check = checkGame(folder->path);
        const QByteArray page = gamePage(check, progress);
        QTemporaryFile file(QDir::temp().filePath(QStringLiteral("quorrel-game-XXXXXX.html")));
        if (!file.open())
            throw Failure::notWritten(QDir::toNativeSeparators(file.fileTemplate()));
        file.close();
        writeWholeFile(file.fileName(), page);
        file.setAutoRemove(false); // the browser reads it later, and may read it again

        const QString told =
            QStringLiteral("%1: %2; the page is %3")
                .arg(shown, counted(check.problems.size(), QStringLiteral("problem")),
                     QDir::toNativeSeparators(file.fileName()));
        return browser.show(file.fileName())
                   ? told
                   : told + QStringLiteral(", which no browser here would show");
    } catch (const std::exception& failure) { // no memory for a huge game too
        return shown + QStringLiteral(": ") + failureText(failure);
    }
}

} // namespace quorrel
