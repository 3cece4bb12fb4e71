#include "game/GameFolders.h"

#include "base/IgnoringCase.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>

namespace quorrel {

std::optional<QString> childFolder(const QString& parent, QStringView name) {
    const QDir dir(parent);
    const QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    const auto match = std::find_if(entries.cbegin(), entries.cend(), [&](const QString& entry) {
        return sameIgnoringCase(entry, name);
    });
    if (match == entries.cend())
        return std::nullopt;
    return dir.filePath(*match);
}

GamePlaces gamePlacesHere() {
    const QString game = QStringLiteral("Unreal Technology\\Installed Apps\\UnrealTournament");
    return {QDir::homePath(),
            qEnvironmentVariable("WINEPREFIX"),
            {QStringLiteral("HKEY_CURRENT_USER\\Software\\") + game,
             QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\") + game,
             QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\") + game}};
}

std::optional<QString> findGameFolder(const QString& windowsFolder, const GamePlaces& places) {
#ifdef Q_OS_WIN
    // Store and community installers put the game elsewhere, but it records where.
    QStringList candidates{windowsFolder};
    const QString last = windowsFolder.section(u'\\', -1, -1, QString::SectionSkipEmpty);
    for (const QString& key : places.registryKeys) {
        const QString recorded =
            QSettings(key, QSettings::NativeFormat).value(QStringLiteral("Folder")).toString();
        // A relative path would be read against whatever folder the program started in.
        if (QDir::isAbsolutePath(QDir::fromNativeSeparators(recorded)))
            candidates << (sameIgnoringCase(windowsFolder, kGameFolder) ? recorded
                                                                        : recorded + u'\\' + last);
    }
    for (const QString& candidate : candidates) {
        const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(candidate));
        if (!candidate.isEmpty() && QFileInfo(folder).isDir())
            return folder;
    }
    return std::nullopt;
#else
    // "c:\unrealtournament\textures\" -> drive_c, then each folder in turn.
    QStringList parts = windowsFolder.split(u'\\', Qt::SkipEmptyParts);
    if (parts.isEmpty() || !parts.first().endsWith(u':'))
        return std::nullopt;
    parts.first() = QStringLiteral("drive_") + parts.first().chopped(1).toLower();
    auto inPrefix = [&parts](const QString& prefix) -> std::optional<QString> {
        std::optional<QString> folder = prefix;
        for (const QString& part : parts) {
            if (!(folder = childFolder(*folder, part)))
                return std::nullopt;
        }
        return QDir(*folder).absolutePath();
    };
    if (!places.winePrefix.isEmpty()) {
        if (std::optional<QString> folder = inPrefix(places.winePrefix))
            return folder;
    }
    return inPrefix(QDir(places.home).filePath(QStringLiteral(".wine")));
#endif
}

} // namespace quorrel
