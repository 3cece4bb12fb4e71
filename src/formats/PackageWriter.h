#pragma once

#include "formats/ColourReduction.h"
#include "formats/PictureFile.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Texture packages written as the game's own skin packages are laid out: 8-bit textures with their
// palettes and mips, ready for the game to load.
namespace quorrel {

// One texture to write: its mips, all in mip 0's palette.
struct PackageTexture {
    QString name;
    QList<IndexedPicture> mips; // mip 0 first, down to 1x1
    bool masked = false;        // palette index 0 is transparent
};

// The texture a picture makes, as the game's editor imports it. An 8-bit picture keeps its palette
// and its pixels' indices; a transparent entry (alpha below 128) makes it masked, and when that
// entry is not index 0 the two swap places. With `maskIndexZero`, index 0 of an 8-bit picture is
// transparent. A true-colour picture is reduced to 256 colours, and masked when a pixel's alpha is
// below 128. Throws Failure (Refused) for a side that is not a power of two or is over 1024.
PackageTexture textureFromPicture(const QString& name, const SourcePicture& picture,
                                  bool maskIndexZero);

// Why the game cannot take `name` for a texture or a package: not letters, digits, "_" and "-",
// or longer than 63 characters; nothing when it can.
std::optional<QString> badTextureName(const QString& name);

// The package `packageName` holding the textures in order, each with its mips, their palettes once
// each. Each write has a GUID of its own. Throws Failure (Refused) for a name the game cannot
// take, or two that differ only in case.
QByteArray writeTexturePackage(const QString& packageName, const QList<PackageTexture>& textures);

} // namespace quorrel
