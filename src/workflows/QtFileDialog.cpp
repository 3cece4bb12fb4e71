#include "workflows/QtFileDialog.h"

#include "game/GameFolders.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace quorrel {

std::optional<ChosenFile> QtFileDialog::choose(const FileDialogRequest& request) {
    using Mode = FileDialogRequest::Mode;
    const Mode mode = request.mode;
    const QString title = mode == Mode::Open   ? QStringLiteral("Open")
                          : mode == Mode::Save ? QStringLiteral("Save As")
                                               : QStringLiteral("Choose a Folder");
    QFileDialog dialog(
        m_parent, title,
        findGameFolder(request.initialDirectory, gamePlacesHere()).value_or(QDir::homePath()));
    dialog.setAcceptMode(mode == Mode::Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(mode == Mode::Open   ? QFileDialog::ExistingFile
                       : mode == Mode::Save ? QFileDialog::AnyFile
                                            : QFileDialog::Directory);
    if (mode == Mode::Folder)
        dialog.setOption(QFileDialog::ShowDirsOnly);
    // Save replaces a file without asking; the write itself is atomic.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(nameFiltersFrom(request.filter));
    dialog.setDefaultSuffix(defaultSuffixFrom(request.defaultExtension));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    const QString path = QDir::toNativeSeparators(dialog.selectedFiles().constFirst());
    return ChosenFile{path, QFileInfo(path).fileName()};
}

QStringList nameFiltersFrom(const QString& filter) {
    QStringList filters;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i];
        // Qt reads the patterns from the last parentheses, so those of the description go.
        if (description.endsWith(u')') && description.contains(u'('))
            description = description.left(description.lastIndexOf(u'(')).trimmed();
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) {
            if (pattern == QLatin1String("*.*"))
                pattern = QStringLiteral("*");
        }
        filters << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return filters;
}

QString defaultSuffixFrom(const QString& defaultExtension) {
    QString suffix = defaultExtension;
    while (suffix.startsWith(u'*') || suffix.startsWith(u'.'))
        suffix.remove(0, 1);
    return suffix;
}

} // namespace quorrel
