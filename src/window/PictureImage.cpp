#include "window/PictureImage.h"

#include <QPainter>

namespace quorrel {

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
