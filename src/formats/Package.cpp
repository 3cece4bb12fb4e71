#include "formats/Package.h"

#include "base/Failure.h"
#include "base/Files.h"
#include "base/Windows1252.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cstring>
#include <limits>

namespace quorrel {
namespace {

constexpr quint32 kSignature = 0x9E2A83C1;
constexpr quint16 kGuidHeaderVersion = 68; // GUID and generations replace the heritage table
constexpr quint16 kSizedNameVersion = 64;  // names carry a length in front
constexpr qsizetype kFixedHeaderSize = 36;
// The three tables' counts and offsets follow each other from here: names, exports, imports.
constexpr qsizetype kNameCountAt = 12;
// The fewest bytes one entry can take: a count larger than the bytes left allow is damage.
constexpr qsizetype kMinName = 5;    // empty name and its flags
constexpr qsizetype kMinImport = 7;  // three one-byte indices and an i32
constexpr qsizetype kMinExport = 12; // four one-byte indices, an i32 and the flags

struct Table {
    qint32 count;
    qint32 offset;
};

// Checks a table's place and bounds its count by the bytes after its start.
PackageCursor tableCursor(QByteArrayView bytes, Table table, qsizetype minEntry, const char* what) {
    const QLatin1String name(what);
    if (table.count < 0 || table.offset < 0)
        throw Failure::damaged(
            QStringLiteral("the %1 table has a negative count or offset").arg(name));
    if (table.offset > bytes.size())
        throw Failure::damaged(
            QStringLiteral("the %1 table starts past the end of the file").arg(name));
    if (table.count > (bytes.size() - table.offset) / minEntry)
        throw Failure::damaged(QStringLiteral("the %1 count %2 is more than the file can hold")
                                   .arg(name)
                                   .arg(table.count));
    return PackageCursor(bytes, table.offset);
}

QString readName(PackageCursor& cursor, quint16 version) {
    QByteArrayView text;
    if (version < kSizedNameVersion) {
        const qsizetype left = cursor.left();
        const uchar* start = cursor.take(0, "a name");
        const void* zero = left > 0 ? std::memchr(start, 0, size_t(left)) : nullptr;
        if (!zero)
            throw Failure::damaged(
                QStringLiteral("the name at byte %1 has no end").arg(cursor.at()));
        const qsizetype length = static_cast<const uchar*>(zero) - start;
        text = QByteArrayView(cursor.take(length + 1, "a name"), length);
    } else {
        const qint32 length = cursor.compact("a name length");
        if (length < 0)
            throw Failure::damaged(
                QStringLiteral("a name before byte %1 has a negative length").arg(cursor.at()));
        text = QByteArrayView(cursor.take(length, "a name"), length);
        if (const qsizetype zero = text.indexOf('\0'); zero >= 0)
            text = text.first(zero);
    }
    cursor.u32("name flags");
    return windows1252::decode(text);
}

class Resolver {
public:
    explicit Resolver(const PackageTables& tables) : m_tables(tables) {}

    const QString& name(qint32 index, const QString& entry) const {
        if (index < 0 || index >= m_tables.names.size())
            throw Failure::damaged(QStringLiteral("%1 uses name %2 of %3")
                                       .arg(entry)
                                       .arg(index)
                                       .arg(m_tables.names.size()));
        return m_tables.names.at(index);
    }

    void checkReference(qint32 ref, qsizetype exportCount, const QString& entry) const {
        if ((ref < 0 && -qint64(ref) > m_tables.imports.size()) || (ref > 0 && ref > exportCount))
            throw Failure::damaged(
                QStringLiteral("%1 refers to object %2, which does not exist").arg(entry).arg(ref));
    }

private:
    const PackageTables& m_tables;
};

// Room for at most this many entries is made up front: a count the file could only just hold
// would otherwise reserve far more memory than its entries will take.
constexpr qsizetype kMostReserved = 1 << 16;

template <typename List> void reserveFor(List& list, qint32 count) {
    list.reserve(std::min<qsizetype>(count, kMostReserved));
}

constexpr qint64 kHeadBytes = 4096; // the header and its generations
// The most bytes a table entry of a package the game wrote takes: names of at most 64
// characters, compact indices of at most five bytes.
constexpr qint64 kMostPerName = 72, kMostPerExport = 33, kMostPerImport = 19;

} // namespace

PackageCursor::PackageCursor(QByteArrayView bytes, qsizetype at, qsizetype end)
    : m_bytes(bytes.first(std::clamp<qsizetype>(end < 0 ? bytes.size() : end, 0, bytes.size()))),
      m_at(at), m_within(end < 0 ? "the end of the file" : "the end of its object") {}

const uchar* PackageCursor::take(qsizetype count, const char* what) {
    if (count < 0 || m_at < 0 || count > left())
        throw Failure::damaged(QStringLiteral("%1 at byte %2 runs past %3")
                                   .arg(QLatin1String(what))
                                   .arg(m_at)
                                   .arg(QLatin1String(m_within)));
    const auto* data = reinterpret_cast<const uchar*>(m_bytes.data()) + m_at;
    m_at += count;
    return data;
}

quint8 PackageCursor::u8(const char* what) {
    return *take(1, what);
}
quint16 PackageCursor::u16(const char* what) {
    return qFromLittleEndian<quint16>(take(2, what));
}
quint32 PackageCursor::u32(const char* what) {
    return qFromLittleEndian<quint32>(take(4, what));
}
qint32 PackageCursor::i32(const char* what) {
    return qFromLittleEndian<qint32>(take(4, what));
}
float PackageCursor::f32(const char* what) {
    return qFromLittleEndian<float>(take(4, what));
}

qint32 PackageCursor::compact(const char* what) {
    const qsizetype start = m_at;
    uchar byte = *take(1, what);
    const bool negative = byte & 0x80;
    qint64 value = byte & 0x3F;
    bool more = byte & 0x40;
    for (int shift = 6; more; shift += 7) {
        if (shift > 27)
            throw Failure::damaged(QStringLiteral("%1 at byte %2 is longer than five bytes")
                                       .arg(QLatin1String(what))
                                       .arg(start));
        byte = *take(1, what);
        value |= qint64(byte & 0x7F) << shift;
        more = byte & 0x80;
    }
    if (value > std::numeric_limits<qint32>::max())
        throw Failure::damaged(
            QStringLiteral("%1 at byte %2 is out of range").arg(QLatin1String(what)).arg(start));
    return qint32(negative ? -value : value);
}

PackageTables readPackageTables(QByteArrayView bytes) {
    PackageTables tables;
    PackageCursor header(bytes, 0);
    if (bytes.size() < 4 || header.u32("the signature") != kSignature)
        throw Failure::damaged(QStringLiteral("not a package: the signature is missing"));
    if (bytes.size() < kFixedHeaderSize)
        throw Failure::damaged(QStringLiteral("the header ends at byte %1").arg(bytes.size()));
    tables.version = header.u16("the version");
    tables.licensee = header.u16("the licensee");
    tables.flags = header.u32("the flags");
    Table names{header.i32("name count"), header.i32("name offset")};
    Table exports{header.i32("export count"), header.i32("export offset")};
    Table imports{header.i32("import count"), header.i32("import offset")};
    if (tables.version < kGuidHeaderVersion) {
        header.take(8, "the heritage table's place");
    } else {
        header.take(16, "the GUID");
        const qint32 generations = header.i32("the generation count");
        if (generations < 0 || generations > header.left() / 8)
            throw Failure::damaged(
                QStringLiteral("the generation count %1 is more than the header can hold")
                    .arg(generations));
        header.take(qsizetype(generations) * 8, "the generations");
    }

    PackageCursor cursor = tableCursor(bytes, names, kMinName, "name");
    reserveFor(tables.names, names.count);
    for (qint32 i = 0; i < names.count; ++i)
        tables.names.append(readName(cursor, tables.version));

    const Resolver resolve(tables);
    cursor = tableCursor(bytes, imports, kMinImport, "import");
    reserveFor(tables.imports, imports.count);
    for (qint32 i = 0; i < imports.count; ++i) {
        const QString entry = QStringLiteral("import %1").arg(i);
        PackageImport item;
        item.classPackage = resolve.name(cursor.compact("an import"), entry);
        item.className = resolve.name(cursor.compact("an import"), entry);
        item.package = cursor.i32("an import");
        item.objectName = resolve.name(cursor.compact("an import"), entry);
        tables.imports.append(item);
    }
    for (qsizetype i = 0; i < tables.imports.size(); ++i)
        resolve.checkReference(tables.imports[i].package, exports.count,
                               QStringLiteral("import %1").arg(i));

    cursor = tableCursor(bytes, exports, kMinExport, "export");
    QList<qint32> classes;
    reserveFor(classes, exports.count);
    reserveFor(tables.exports, exports.count);
    for (qint32 i = 0; i < exports.count; ++i) {
        const QString entry = QStringLiteral("export %1").arg(i);
        PackageExport item;
        classes.append(cursor.compact("an export"));
        resolve.checkReference(classes.last(), exports.count, entry);
        resolve.checkReference(cursor.compact("an export"), exports.count, entry); // super
        item.package = cursor.i32("an export");
        resolve.checkReference(item.package, exports.count, entry);
        item.objectName = resolve.name(cursor.compact("an export"), entry);
        item.flags = cursor.u32("export flags");
        item.serialSize = cursor.compact("an export");
        if (item.serialSize < 0)
            throw Failure::damaged(QStringLiteral("%1 has a negative size").arg(entry));
        if (item.serialSize > 0)
            item.serialOffset = cursor.compact("an export");
        tables.exports.append(item);
    }
    // Classes are resolved once every export has its name: a class may be defined further on.
    for (qsizetype i = 0; i < tables.exports.size(); ++i) {
        const qint32 ref = classes[i];
        tables.exports[i].className = ref == 0  ? QStringLiteral("Class")
                                      : ref < 0 ? tables.imports[-qsizetype(ref) - 1].objectName
                                                : tables.exports[ref - 1].objectName;
    }
    return tables;
}

// The header, then each table from its start, laid end to end with the header's offsets moved
// to match. Where a table does not fit that (a name longer than the game writes, an odd header),
// the whole file is read instead.
PackageTables readPackageTablesOf(const QString& path) {
    QFile file(path);
    const qint64 size = QFileInfo(path).size();
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) // only the bytes asked for
        throw Failure(Failure::Kind::Unreadable);
    QByteArray bytes = file.read(std::min(size, kHeadBytes));
    if (bytes.size() == size)
        return readPackageTables(bytes);
    if (bytes.size() >= kFixedHeaderSize) {
        const struct {
            qsizetype countAt;
            qint64 most;
        } tables[] = {{kNameCountAt, kMostPerName},
                      {kNameCountAt + 8, kMostPerExport},
                      {kNameCountAt + 16, kMostPerImport}};
        bool laidOut = true;
        for (const auto& table : tables) {
            const qint32 count = qFromLittleEndian<qint32>(bytes.constData() + table.countAt);
            const qint32 offset = qFromLittleEndian<qint32>(bytes.constData() + table.countAt + 4);
            if (count < 0 || offset < 0 || offset >= size || !file.seek(offset)) {
                laidOut = false;
                break;
            }
            qToLittleEndian(qint32(bytes.size()), bytes.data() + table.countAt + 4);
            bytes += file.read(std::min(size - offset, count * table.most));
        }
        if (laidOut) {
            try {
                return readPackageTables(bytes);
            } catch (const Failure&) {
            }
        }
    }
    return readPackageTables(readWholeFile(path));
}

} // namespace quorrel
