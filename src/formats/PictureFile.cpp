#include "formats/PictureFile.h"

#include "base/Failure.h"

#include <QBuffer>
#include <QImageReader>

namespace quorrel {
namespace {

// Far above any texture's 1024, but a bound on what a hostile header can make us allocate.
constexpr int kLargestSide = 8192;

// An indexed QImage as its palette and indices; every other one in true colour.
SourcePicture fromImage(const QImage& read) {
    SourcePicture picture;
    const bool paletted = read.format() == QImage::Format_Indexed8 ||
                          read.format() == QImage::Format_Mono ||
                          read.format() == QImage::Format_MonoLSB;
    const QImage rgba = read.convertToFormat(QImage::Format_RGBA8888);
    picture.rgba = {rgba.width(), rgba.height(),
                    QByteArray(qsizetype(rgba.width()) * rgba.height() * 4, Qt::Uninitialized)};
    for (int y = 0; y < rgba.height(); ++y)
        std::memcpy(picture.rgba.rgba.data() + qsizetype(y) * rgba.width() * 4,
                    rgba.constScanLine(y), size_t(rgba.width()) * 4);
    if (!paletted)
        return picture;
    const QImage indexed = read.convertToFormat(QImage::Format_Indexed8);
    IndexedPicture own{indexed.width(),
                       indexed.height(),
                       QByteArray(qsizetype(indexed.width()) * indexed.height(), Qt::Uninitialized),
                       {}};
    for (const QRgb colour : indexed.colorTable())
        own.palette.append({quint8(qRed(colour)), quint8(qGreen(colour)), quint8(qBlue(colour)),
                            quint8(qAlpha(colour))});
    for (int y = 0; y < indexed.height(); ++y)
        std::memcpy(own.indices.data() + qsizetype(y) * indexed.width(), indexed.constScanLine(y),
                    size_t(indexed.width()));
    picture.indexed = std::move(own);
    return picture;
}

SourcePicture decodeWithQt(QByteArrayView bytes, const char* format) {
    QByteArray copy = bytes.toByteArray();
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoTransform(false);
    const QSize size = reader.size();
    if (size.width() > kLargestSide || size.height() > kLargestSide)
        throw Failure::damaged(QStringLiteral("its size %1x%2 is more than any texture can be")
                                   .arg(size.width())
                                   .arg(size.height()));
    const QImage image = reader.read();
    if (image.isNull())
        throw Failure::damaged(reader.errorString());
    return fromImage(image);
}

} // namespace

SourcePicture decodePicture(QByteArrayView bytes, QStringView fileName) {
    const QStringView extension = fileName.sliced(fileName.lastIndexOf(u'.') + 1);
    if (extension.compare(u"png", Qt::CaseInsensitive) == 0)
        return decodeWithQt(bytes, "png");
    if (extension.compare(u"bmp", Qt::CaseInsensitive) == 0)
        return decodeWithQt(bytes, "bmp");
    if (extension.compare(u"tga", Qt::CaseInsensitive) == 0)
        return decodeTga(bytes);
    if (extension.compare(u"pcx", Qt::CaseInsensitive) == 0)
        return decodePcx(bytes);
    throw Failure::refused(QStringLiteral("not a PNG, BMP, TGA or PCX picture"));
}

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
