#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Zip archives, as players unzip them into the game's folder.
namespace quorrel {

struct ZipEntry {
    QString path; // folders separated by "/"
    QByteArray bytes;
};

// The entries, deflated where that makes them smaller, in one zip archive. Throws Failure
// (NotWritten) when it cannot be made.
QByteArray zipArchive(const QList<ZipEntry>& entries);

} // namespace quorrel
