#include "workflows/QtFileDialog.h"

#include <QDir>

#include <QFileDialog>
#include <QFileInfo>
#include <algorithm>

namespace quorrel {

std::optional<ChosenFile> QtFileDialog::choose(const FileDialogRequest& request) {
    const bool open = request.mode == FileDialogRequest::Mode::Open;
    QFileDialog dialog(m_parent, open ? QStringLiteral("Open") : QStringLiteral("Save As"),
                       startFolderFor(request.initialDirectory, QDir::homePath(),
                                      qEnvironmentVariable("WINEPREFIX")));
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
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

QString startFolderFor(const QString& windowsFolder, const QString& home,
                       const QString& winePrefix) {
#ifdef Q_OS_WIN
    Q_UNUSED(winePrefix);
    // The game's own folder, as the original dialogs had; the home folder where it is missing.
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(windowsFolder));
    return !windowsFolder.isEmpty() && QFileInfo(folder).isDir() ? folder : home;
#else
    // "c:\unrealtournament\textures\" -> drive_c, then each folder in turn.
    QStringList parts = windowsFolder.split(u'\\', Qt::SkipEmptyParts);
    if (parts.isEmpty() || !parts.first().endsWith(u':'))
        return home;
    parts.first() = QStringLiteral("drive_") + parts.first().chopped(1).toLower();
    auto inPrefix = [&parts](const QString& prefix) -> std::optional<QString> {
        QDir dir(prefix);
        for (const QString& part : parts) {
            const QStringList entries =
                dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
            const auto match =
                std::find_if(entries.cbegin(), entries.cend(), [&](const QString& e) {
                    return e.compare(part, Qt::CaseInsensitive) == 0;
                });
            if (match == entries.cend() || !dir.cd(*match))
                return std::nullopt;
        }
        return dir.absolutePath();
    };
    if (!winePrefix.isEmpty()) {
        if (const std::optional<QString> folder = inPrefix(winePrefix))
            return *folder;
    }
    return inPrefix(QDir(home).filePath(QStringLiteral(".wine"))).value_or(home);
#endif
}

} // namespace quorrel
