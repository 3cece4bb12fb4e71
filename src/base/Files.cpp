#include "base/Files.h"

#include "base/Failure.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <limits>
#include <new>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

namespace quorrel {
namespace {

// The machine's memory in bytes, or 0 where it cannot be told.
qint64 physicalMemory() {
#if defined(_SC_PHYS_PAGES) && defined(_SC_PAGESIZE)
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages > 0 && pageSize > 0)
        return qint64(pages) * pageSize;
#endif
    return 0;
}

} // namespace

QByteArray readWholeFile(const QString& path) {
    using Kind = Failure::Kind;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw Failure(Kind::Missing);
    if (info.isDir())
        throw Failure(Kind::NotAFile);
    // Checked before opening: a FIFO reports 0 bytes, and opening one would wait for a writer.
    const qint64 size = info.size();
    if (size <= 0)
        throw Failure(Kind::Empty);
    if (!info.isFile())
        throw Failure(Kind::NotAFile);

    // A file larger than the machine's memory cannot be read whole. Refuse it up front rather
    // than trust the allocator: with overcommit the allocation succeeds and the read is killed.
    const qint64 memory = physicalMemory();
    if ((memory > 0 && size > memory) || size > std::numeric_limits<qsizetype>::max() / 2)
        throw Failure(Kind::TooLarge);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw Failure(Kind::Unreadable);
    QByteArray bytes;
    try {
        bytes =
            QByteArray(size, Qt::Uninitialized); // exactly the size: resize() leaves room to grow
    } catch (const std::bad_alloc&) {
        throw Failure(Kind::TooLarge);
    }
    // A file cut short or grown after the size was taken is not the file that was chosen.
    char extra = 0;
    if (file.read(bytes.data(), size) != size || file.read(&extra, 1) != 0)
        throw Failure(Kind::Unreadable);
    return bytes;
}

void writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    // Unbuffered, so a full disk fails the write itself: a buffered QSaveFile can take the bytes,
    // fail to flush them and still commit an empty file over the old one. On failure the
    // temporary file goes away with `file`.
    if (path.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        file.write(bytes) != bytes.size() || !file.commit())
        throw Failure::notWritten(QDir::toNativeSeparators(path));
}

} // namespace quorrel
