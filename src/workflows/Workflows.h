#pragma once

#include <QString>

namespace quorrel {

class CommonDialog;
class FileDialogSeam;
class GeneratorState;
class LiveFolder;
class MessageBoxSeam;
class PictureFolder;
struct SkinPackage;

// "Find Files": the user picks a package; its name sets the package name (and through it the
// mesh name and skin description), the package is scanned and the INT text cleared. Any failure,
// a cancelled dialog included, shows "No files Selected" and leaves "Make INT" enabled exactly
// when the name list holds a name.
void FindFiles(GeneratorState& state, CommonDialog& dialog, MessageBoxSeam& messageBox);

// The same for a package named from outside (the command line, a drop), as if the Open dialog
// had chosen `path`.
void OpenPackage(GeneratorState& state, const QString& path, MessageBoxSeam& messageBox);

// A folder of pictures opened as the package they make, watched from then on: the folder's name
// sets the package name (and through it the mesh name and skin description), the package is
// scanned and the INT text cleared, as Open does for a package file. A folder that makes no
// package shows why and changes nothing.
void OpenPictureFolder(GeneratorState& state, LiveFolder& live, const QString& path,
                       MessageBoxSeam& messageBox);

// "Save Package...": the folder's package, written where the user picks (the dialog starts in
// the game's Textures folder), whole or not at all. A picture that makes no texture now or a
// failed write shows why and writes nothing.
void SavePackage(const PictureFolder& folder, FileDialogSeam& dialog, MessageBoxSeam& messageBox);

// "Release...": the zip players unzip into the game's folder, of the package and the INT text as
// Save writes it, written where the user picks, whole or not at all. `folder`, when the package
// is a pictures folder's, must have every picture read. Any refusal or failed write shows why.
void SaveRelease(const SkinPackage& package, const PictureFolder* folder, const QString& intText,
                 FileDialogSeam& dialog, MessageBoxSeam& messageBox);

// "Save": the user picks where the INT text goes; the file is replaced whole or not at all. Any
// failure shows "File Not Saved". `savePath` keeps the last path chosen.
void SaveIntFile(GeneratorState& state, CommonDialog& dialog, MessageBoxSeam& messageBox,
                 QString& savePath);

} // namespace quorrel
