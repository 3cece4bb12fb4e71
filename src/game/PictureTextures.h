#pragma once

#include "formats/PackageWriter.h"

#include <QString>
#include <QStringList>

// The author's pictures as a skin package's textures.
namespace quorrel {

// Whether the file is a picture the tool makes textures of: PNG, BMP, TGA or PCX, by its extension
// in any case.
bool isPictureFile(const QString& path);

// Why the game cannot take each picture's texture name: not letters, digits, "_" and "-", too long,
// or the name of an earlier picture's texture but for case. One entry a picture, in order; empty
// where the name will do.
QStringList textureNameProblems(const QStringList& pictures);

// The texture the picture file makes, named after the file's base name (textureFromPicture() says
// how). Throws Failure: Refused for a name or size the game cannot take or a file of another
// kind, Damaged for a picture that cannot be read, or what reading the file throws.
PackageTexture readPictureTexture(const QString& path, bool maskIndexZero);

// The textures' names, sizes, colour counts and masks, a line each, as --make prints them.
QStringList textureLines(const QList<PackageTexture>& textures);

} // namespace quorrel
