#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace quorrel {

// The game's folders as it installs them on Windows: the game's own, and in it the packages in
// one, the .int files in the other.
inline const QString kGameFolder = QStringLiteral("c:\\unrealtournament\\");
inline const QString kTexturesFolder = QStringLiteral("c:\\unrealtournament\\textures\\");
inline const QString kSystemFolder = QStringLiteral("c:\\unrealtournament\\system\\");

// Where to look for the game: for Wine, the home folder (with ~/.wine) and $WINEPREFIX; on
// Windows, the registry keys whose value "Folder" records the game's folder, asked in order.
struct GamePlaces {
    QString home;
    QString winePrefix;
    QStringList registryKeys;
};

// The folder under `parent` named `name` without regard to case, as the game's files are named on
// Windows; nullopt when there is none.
std::optional<QString> childFolder(const QString& parent, QStringView name);

// This machine's places: the home folder, $WINEPREFIX, and the game's key under the user, then
// the machine, then the machine's keys of 32-bit programs.
GamePlaces gamePlacesHere();

// One of the game's fixed folders (kTexturesFolder) as it exists here. On Windows the folder
// itself, else its last part ("textures") inside each folder the registry records (kGameFolder:
// that folder itself), skipping what is missing. Elsewhere the folder inside the Wine prefix
// `winePrefix` when that holds it, else inside
// ~/.wine, each part matched without regard to case. nullopt where none exists.
std::optional<QString> findGameFolder(const QString& windowsFolder, const GamePlaces& places);

} // namespace quorrel
