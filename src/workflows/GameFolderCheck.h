#pragma once

#include "game/GamePage.h"

#include <QString>

#include <optional>

namespace quorrel {

class BrowserSeam;
class FileDialogSeam;

// "Check Game Folder...": the user picks a game folder, the dialog starting in the game's own;
// the whole-game check goes as one page (gamePage()) into a new temporary file, which the browser
// shows. What to tell the user: the folder, its problem count and the page's file, or why there
// is no page; nothing when the dialog was cancelled.
std::optional<QString> CheckGameFolder(FileDialogSeam& dialog, BrowserSeam& browser,
                                       const PageProgress& progress);

} // namespace quorrel
