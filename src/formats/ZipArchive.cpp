#include "formats/ZipArchive.h"

#include "base/Failure.h"

#include <QBuffer>
#include <QtGui/private/qzipwriter_p.h>

namespace quorrel {

QByteArray zipArchive(const QList<ZipEntry>& entries) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        throw Failure::notWritten(QStringLiteral("a zip archive"));
    {
        QZipWriter zip(&buffer);
        zip.setCompressionPolicy(QZipWriter::AutoCompress);
        // Readable by everyone once unzipped, as the game's own files are.
        zip.setCreationPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                   QFile::ReadOther);
        for (const ZipEntry& entry : entries)
            zip.addFile(entry.path, entry.bytes);
        zip.close();
        if (zip.status() != QZipWriter::NoError)
            throw Failure::notWritten(QStringLiteral("a zip archive"));
    }
    return bytes;
}

} // namespace quorrel
