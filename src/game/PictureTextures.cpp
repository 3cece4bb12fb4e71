#include "game/PictureTextures.h"

#include "base/Failure.h"
#include "base/Files.h"

#include <QFileInfo>
#include <QSet>

namespace quorrel {

bool isPictureFile(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    return extension == u"png" || extension == u"bmp" || extension == u"tga" || extension == u"pcx";
}

PackageTexture readPictureTexture(const QString& path, bool maskIndexZero) {
    const QFileInfo file(path);
    const QString name = file.completeBaseName();
    if (const std::optional<QString> bad = badTextureName(name))
        throw Failure::refused(*bad);
    if (!isPictureFile(path))
        throw Failure::refused(QStringLiteral("not a PNG, BMP, TGA or PCX picture"));
    return textureFromPicture(name, decodePicture(readWholeFile(path), file.fileName()),
                              maskIndexZero);
}

QStringList textureLines(const QList<PackageTexture>& textures) {
    QStringList lines;
    for (const PackageTexture& texture : textures) {
        const IndexedPicture& top = texture.mips.first();
        QSet<char> used(top.indices.cbegin(), top.indices.cend());
        lines << QStringLiteral("%1 %2x%3 %4 colours %5")
                     .arg(texture.name)
                     .arg(top.width)
                     .arg(top.height)
                     .arg(used.size())
                     .arg(texture.masked ? QStringLiteral("masked") : QStringLiteral("unmasked"));
    }
    return lines;
}

} // namespace quorrel
