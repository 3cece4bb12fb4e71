#pragma once

#include <QByteArray>
#include <QString>

// Whole files in and out: a file is read in one read and written whole or not at all.
namespace quorrel {

// Reads the whole file at `path` in one read. Throws Failure: Missing, NotAFile, Empty (also a
// FIFO or device, which is never opened), TooLarge or Unreadable (also when the file changed
// size while it was read).
QByteArray readWholeFile(const QString& path);

// Writes `bytes` to `path` through a temporary file beside it, so a failed write leaves any
// previous file as it was and no partial file behind. Throws Failure (NotWritten).
void writeWholeFile(const QString& path, const QByteArray& bytes);

} // namespace quorrel
