#include "rules/PictureScan.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"
#include "formats/IntFile.h"
#include "rules/NameWalk.h"
#include "rules/PictureOrder.h"

namespace quorrel {

QStringList selectPictures(const QStringList& names, QStringView meshName) {
    static const QString palette = QStringLiteral("palette");
    QStringList pictures;
    for (qsizetype j = 0; j < names.size(); ++j) {
        if (!startsWithIgnoringCase(names.at(j), meshName))
            continue;
        for (++j; j < names.size(); ++j) {
            if (!startsWithIgnoringCase(names.at(j), palette))
                pictures.append(names.at(j));
        }
        break;
    }
    return pictures;
}

PictureScan scanPictures(QByteArrayView bytes, QStringView meshName) {
    NameWalk walk = walkNames(bytes);
    PictureScan scan{std::move(walk.names), {}, walk.complete};
    if (scan.complete) {
        scan.pictures = selectPictures(scan.names, meshName);
        sortPictures(scan.pictures);
    }
    return scan;
}

void requireComplete(const PictureScan& scan) {
    if (!scan.complete)
        throw Failure(Failure::Kind::NoEndMarker);
}

QString countTextFor(qsizetype pictureCount) {
    return QString::number(pictureCount) + QStringLiteral(" pics found");
}

QByteArray windowIntBytes(QByteArrayView package, const NameFieldValues& fields) {
    const PictureScan scan = scanPictures(package, fields.meshName);
    requireComplete(scan);
    return intFileBytes(fields.packageName, fields.skinDescription, scan.pictures);
}

} // namespace quorrel
