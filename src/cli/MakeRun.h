#pragma once

#include "cli/Settings.h"

namespace quorrel::cli {

// --make: the package from the pictures, or nothing written when a picture is refused. Prints a
// line for each texture; the exit status.
int makePackage(const Settings& settings);

} // namespace quorrel::cli
