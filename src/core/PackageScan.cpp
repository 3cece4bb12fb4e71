#include "core/PackageScan.h"

#include "core/GeneratorState.h"
#include "core/Windows1252.h"

#include <QFile>
#include <QFileInfo>

#include <cstring>
#include <limits>
#include <new>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

namespace quorrel {
namespace {

constexpr qsizetype kFirstNameAt = 65; // position 66, counting from 1
constexpr unsigned char kStop0 = 0x40, kStop1 = 0x04;
constexpr unsigned char kEnd0 = 0x00, kEnd1 = 0x10, kEnd3 = 0x07;
constexpr qsizetype kNameEndLength = 6; // 00 10 ?? 07, one more flag byte, the next length byte

// The first position in [from, to) where `first` is followed by `second`, or `to`. The second
// byte may lie at `to` itself. It looks for the second byte: 0x04 and 0x10 are rarer than 0x00
// and 0x40, in long runs of zero bytes above all.
qsizetype findPair(const unsigned char* data, qsizetype from, qsizetype to, unsigned char first,
                   unsigned char second) {
    for (qsizetype at = from + 1; at <= to;) {
        const void* hit = std::memchr(data + at, second, size_t(to - at + 1));
        if (!hit)
            break;
        at = static_cast<const unsigned char*>(hit) - data;
        if (data[at - 1] == first)
            return at - 1;
        ++at;
    }
    return to;
}

// Lower-cases one character at a time, so the length never changes.
bool startsWithIgnoringCase(QStringView text, QStringView prefix) {
    if (text.size() < prefix.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        if (text[i].toLower() != prefix[i].toLower())
            return false;
    }
    return true;
}

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

ScanFailure::ScanFailure(Reason reason, const QString& path)
    : std::runtime_error((path + QStringLiteral(": ") + describe(reason)).toStdString()),
      m_reason(reason) {}

QString ScanFailure::describe(Reason reason) {
    switch (reason) {
    case Reason::Missing:
        return QStringLiteral("missing");
    case Reason::NotAFile:
        return QStringLiteral("not a file");
    case Reason::Empty:
        return QStringLiteral("empty");
    case Reason::Unreadable:
        return QStringLiteral("unreadable");
    case Reason::TooLarge:
        return QStringLiteral("too large to read into memory");
    case Reason::NoEndMarker:
        return QStringLiteral("the scan reached the end of the file without its end marker");
    }
    return QString();
}

NameWalk walkNames(QByteArrayView bytes) {
    NameWalk walk;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const qsizetype size = bytes.size();

    // Every byte that starts no marker joins the current name, so a name is always the run of
    // bytes from where it began to its name-end marker: find the markers, then copy each run once.
    qsizetype pos = kFirstNameAt;
    qsizetype nameStart = pos;
    // Below this position both tests can read every byte they need (up to pos + 3).
    const qsizetype fullTestsEnd = size - 3;
    qsizetype nextStop = -1, nextEnd = -1; // next 40 04 and 00 10 at or after pos
    while (pos < fullTestsEnd) {
        if (nextStop < pos)
            nextStop = findPair(data, pos, fullTestsEnd, kStop0, kStop1);
        if (nextEnd < pos)
            nextEnd = findPair(data, pos, fullTestsEnd, kEnd0, kEnd1);
        const qsizetype at = std::min(nextStop, nextEnd);
        if (at >= fullTestsEnd) {
            pos = fullTestsEnd;
            break;
        }
        if (at == nextStop)
            return walk;
        if (data[at + 3] == kEnd3) {
            walk.names.append(windows1252::decode(bytes.sliced(nameStart, at - nameStart)));
            pos = at + kNameEndLength;
            nameStart = pos;
        } else {
            pos = at + 1;
        }
    }

    // The last positions: the stop test may still fit, the name-end test no longer does.
    if (pos < size) {
        if (pos + 1 < size && data[pos] == kStop0 && data[pos + 1] == kStop1)
            return walk;
        walk.complete = false;
    }
    return walk;
}

QStringList selectPictures(const QStringList& names, QStringView meshName) {
    static const QString palette = QStringLiteral("palette");
    QStringList pictures;
    for (qsizetype j = 0; j < names.size(); ++j) {
        if (!startsWithIgnoringCase(names.at(j), meshName))
            continue;
        for (++j; j < names.size(); ++j) {
            if (!startsWithIgnoringCase(names.at(j), palette))
                pictures.append(names.at(j));
        }
        break;
    }
    return pictures;
}

QString countTextFor(qsizetype pictureCount) {
    return QString::number(pictureCount) + QStringLiteral(" pics found");
}

QByteArray readPackage(const QString& path) {
    using Reason = ScanFailure::Reason;
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw ScanFailure(Reason::Missing, path);
    if (info.isDir())
        throw ScanFailure(Reason::NotAFile, path);
    // Checked before opening: a FIFO reports 0 bytes, and opening one would wait for a writer.
    const qint64 size = info.size();
    if (size <= 0)
        throw ScanFailure(Reason::Empty, path);
    if (!info.isFile())
        throw ScanFailure(Reason::NotAFile, path);

    // A file larger than the machine's memory cannot be read whole. Refuse it up front rather
    // than trust the allocator: with overcommit the allocation succeeds and the read is killed.
    const qint64 memory = physicalMemory();
    if ((memory > 0 && size > memory) || size > std::numeric_limits<qsizetype>::max() / 2)
        throw ScanFailure(Reason::TooLarge, path);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw ScanFailure(Reason::Unreadable, path);
    QByteArray bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        throw ScanFailure(Reason::TooLarge, path);
    }
    // A file cut short or grown after the size was taken is not the file that was chosen.
    char extra = 0;
    if (file.read(bytes.data(), size) != size || file.read(&extra, 1) != 0)
        throw ScanFailure(Reason::Unreadable, path);
    return bytes;
}

void ParseFile(GeneratorState& state, const QString& fName) {
    scanPackageBytes(state, readPackage(fName), fName);
}

void scanPackageBytes(GeneratorState& state, QByteArrayView bytes, const QString& fName) {
    NameWalk walk = walkNames(bytes);
    state.setNames(std::move(walk.names));
    if (!walk.complete) {
        state.clearPictures();
        state.setCountText(countTextFor(0));
        throw ScanFailure(ScanFailure::Reason::NoEndMarker, fName);
    }
    state.setPictures(selectPictures(state.names(), state.meshName()));
    state.setCountText(countTextFor(state.pictureCount()));
    state.setMakeIntEnabled(true);
}

} // namespace quorrel
