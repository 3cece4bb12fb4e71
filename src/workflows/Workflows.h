#pragma once

#include <QString>

namespace quorrel {

class CommonDialog;
class GeneratorState;
class MessageBoxSeam;

// "Find Files": the user picks a package; its name sets the package name (and through it the
// mesh name and skin description), the package is scanned and the INT text cleared. Any failure,
// a cancelled dialog included, shows "No files Selected" and leaves "Make INT" enabled exactly
// when the name list holds a name.
void FindFiles(GeneratorState& state, CommonDialog& dialog, MessageBoxSeam& messageBox);

// The same for a package named from outside (the command line, a drop), as if the Open dialog
// had chosen `path`.
void OpenPackage(GeneratorState& state, const QString& path, MessageBoxSeam& messageBox);

// "Save": the user picks where the INT text goes; the file is replaced whole or not at all. Any
// failure shows "File Not Saved". `savePath` keeps the last path chosen.
void SaveIntFile(GeneratorState& state, CommonDialog& dialog, MessageBoxSeam& messageBox,
                 QString& savePath);

} // namespace quorrel
