#pragma once

#include "game/SkinPackage.h"

#include <QByteArray>
#include <QString>

// A skin as players take it: one zip that, unzipped into the game's folder, puts every file where
// the game looks for it.
namespace quorrel {

// The readme that goes with the skin: the package, the model, each skin and its faces as the
// player menu will list them from `intText`, the team colours, and what the menu will miss.
QString releaseNotes(const SkinPackage& package, const QString& intText);

// Textures/NAME.utx, System/NAME.int (`intBytes`, as the file is saved) and NAME.txt, the readme,
// zipped. Throws Failure: Refused when the .int leaves the menu without a single skin, NotWritten
// when the zip cannot be made.
QByteArray releaseZip(const SkinPackage& package, const QByteArray& intBytes);

} // namespace quorrel
