#include "cli/Output.h"

#include "core/Failure.h"
#include "core/Files.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTextStream>

#include <cstdio>

namespace quorrel::cli {

void writeOut(const QByteArray& bytes) {
    if (std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) != size_t(bytes.size()) ||
        std::fflush(stdout) != 0)
        throw Failure(Failure::Kind::NotWritten, QStringLiteral("to standard output"));
}

void deliverInt(const QString& package, const QString& packageName, const QByteArray& bytes,
                const QString& folder) {
    if (folder == QLatin1String("-"))
        return writeOut(bytes);
    const QDir into(folder.isEmpty() ? QFileInfo(package).absolutePath() : folder);
    writeWholeFile(into.filePath(packageName + QStringLiteral(".int")), bytes);
}

QByteArray pngBytes(const Picture& picture) {
    const QImage image(reinterpret_cast<const uchar*>(picture.rgba.constData()), picture.width,
                       picture.height, QImage::Format_RGBA8888);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, "PNG"))
        throw Failure(Failure::Kind::NotWritten, QStringLiteral("the PNG picture"));
    return bytes;
}

void printError(const QString& line) {
    static QTextStream err(stderr);
    err << "quorrel-int: " << line << '\n';
    err.flush();
}

} // namespace quorrel::cli
