#include "window/PictureImage.h"

#include <QPainter>

namespace quorrel {

QImage imageOf(const Picture& picture) {
    if (picture.isNull() || picture.rgba.size() < qsizetype(picture.width) * picture.height * 4)
        return QImage();
    const QImage view(reinterpret_cast<const uchar*>(picture.rgba.constData()), picture.width,
                      picture.height, picture.width * 4, QImage::Format_RGBA8888);
    return view.copy(); // the bytes belong to the picture
}

QImage placeholderImage(const QString& reason, int side) {
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(QColor(96, 96, 96));
    QPainter painter(&image);
    painter.setPen(QColor(224, 224, 224));
    QFont font = painter.font();
    font.setPixelSize(std::max(8, side / 8));
    painter.setFont(font);
    painter.drawText(image.rect().adjusted(2, 2, -2, -2), Qt::AlignCenter | Qt::TextWordWrap,
                     reason);
    return image;
}

} // namespace quorrel
