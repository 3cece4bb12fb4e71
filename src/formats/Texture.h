#pragma once

#include "base/Picture.h"
#include "formats/Package.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// A package's textures: what each one is, read cheaply from its object data, and its pixels,
// decoded on demand. One damaged texture never fails the others.
namespace quorrel {

// Texture and the engine's classes derived from it: ScriptedTexture and the procedural ones
// (FractalTexture, FireTexture, IceTexture, WaterTexture, WaveTexture, WetTexture). Palettes and
// everything else are not textures. Names ignore case, as the engine's do.
bool isTextureClass(QStringView className);

// The exports that are the package's textures, by index in export order: of each name (ignoring
// case) the first.
QList<qsizetype> textureExports(const PackageTables& tables);

// Their names.
QStringList textureNames(const PackageTables& tables);

// What a texture is, read without decoding its pixels.
struct TextureInfo {
    qsizetype exportIndex = -1;
    QString name, className;
    int format = 0;            // the Format property's value
    QString formatName;        // "P8", "DXT1", "RGBA8", "RGB16", or "format N"
    int width = 0, height = 0; // of mip 0
    int mipCount = 0;
    bool masked = false;
    bool hasPixels = true; // false: procedural or scripted; the game draws it at run time
    // Why it cannot be shown: damage, an unknown format, no pixels; empty exactly when it decodes.
    QString failure;
};

// "P8", "DXT1", "RGBA8", "RGB16", or "format N" for the formats this tool cannot decode.
QString textureFormatName(int format);

// Every texture of the package (the exports textureExports() lists, in that order), each read
// without decoding pixels; one damaged texture never fails the others.
QList<TextureInfo> readTextures(QByteArrayView package, const PackageTables& tables);

// The texture's pixels: mip 0 when `largestSide` is 0, else the smallest mip whose larger side is
// at least `largestSide` (mip 0 when none is). Masked P8 makes index 0 transparent, masked DXT1
// its black. Throws Failure (Damaged) with the reason readTextures() gives as its failure.
Picture decodeTexture(QByteArrayView package, const PackageTables& tables, qsizetype exportIndex,
                      int largestSide = 0);

// The same for the package's first texture of that name (ignoring case); a null picture when it
// holds none. Throws Failure (Damaged) naming the texture.
Picture namedTexture(QByteArrayView package, const PackageTables& tables, QStringView name,
                     int largestSide = 0);

} // namespace quorrel
