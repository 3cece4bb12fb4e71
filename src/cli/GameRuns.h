#pragma once

#include "cli/Settings.h"

// The modes that judge a whole game folder.
namespace quorrel::cli {

// --check-game: each model's skins and faces as the menu will list them, then each problem; the
// exit status 1 with problems, else 0.
int checkGameFolder(const Settings& settings);

// --gallery: the same as one page, with the skins drawn; progress on standard error when that is
// a terminal. The exit status as --check-game's, and 1 when the page cannot be written.
int writeGallery(const Settings& settings);

} // namespace quorrel::cli
