#include "game/PictureTextures.h"

#include "base/Failure.h"
#include "base/Files.h"
#include "base/IgnoringCase.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace quorrel {

bool isPictureFile(const QString& path) {
    const QString extension = QFileInfo(path).suffix().toLower();
    return extension == u"png" || extension == u"bmp" || extension == u"tga" || extension == u"pcx";
}

QStringList textureNameProblems(const QStringList& pictures) {
    QStringList problems;
    QHash<QString, QString> named; // each picture by caseKey() of its texture's name
    for (const QString& picture : pictures) {
        const QString name = QFileInfo(picture).completeBaseName();
        std::optional<QString> bad = badTextureName(name);
        if (!bad && named.contains(caseKey(name)))
            bad = QStringLiteral("its texture would have the name of that of %1, case aside")
                      .arg(named.value(caseKey(name)));
        if (!bad)
            named.insert(caseKey(name), picture);
        problems << bad.value_or(QString());
    }
    return problems;
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
