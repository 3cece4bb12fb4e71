#include "cli/Output.h"

#include "base/Failure.h"
#include "base/Files.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>

#include <cstdio>

namespace quorrel::cli {

QByteArray pngBytes(const Picture& picture) {
    QImage image(reinterpret_cast<const uchar*>(picture.rgba.constData()), picture.width,
                 picture.height, qsizetype(picture.width) * 4, QImage::Format_RGBA8888);
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

void writeOut(const QByteArray& bytes) {
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) ||
        std::fflush(stdout) != 0)
        throw Failure::notWritten(QStringLiteral("to standard output"));
}

void deliverInt(const QString& package, const QString& packageName, const QByteArray& bytes,
                const QString& folder) {
    if (folder == QLatin1String("-"))
        return writeOut(bytes);
    const QDir into(folder.isEmpty() ? QFileInfo(package).absolutePath() : folder);
    writeWholeFile(into.filePath(packageName + QStringLiteral(".int")), bytes);
}

void printError(const QString& line) {
    static QTextStream err(stderr);
    err << "quorrel-int: " << line << '\n';
    err.flush();
}

} // namespace quorrel::cli
