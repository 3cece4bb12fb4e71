#include "formats/PictureFile.h"

#include "base/Failure.h"

#include <QBuffer>

namespace quorrel {

QImage imageOf(const Picture& picture) {
    if (picture.isNull() || picture.rgba.size() < qsizetype(picture.width) * picture.height * 4)
        return QImage();
    const QImage view(reinterpret_cast<const uchar*>(picture.rgba.constData()), picture.width,
                      picture.height, picture.width * 4, QImage::Format_RGBA8888);
    return view.copy(); // the bytes belong to the picture
}

QByteArray pngBytes(const Picture& picture) {
    QImage image = imageOf(picture);
    bool opaque = true;
    for (qsizetype alpha = 3; opaque && alpha < picture.rgba.size(); alpha += 4)
        opaque = uchar(picture.rgba[alpha]) == 0xFF;
    if (opaque)
        image = image.convertToFormat(QImage::Format_RGB888);
    QByteArray png;
    QBuffer buffer(&png);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        throw Failure::notWritten(QStringLiteral("a PNG picture"));
    return png;
}

} // namespace quorrel
