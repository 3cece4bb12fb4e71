#include "rules/NameWalk.h"

#include "base/Windows1252.h"

#include <algorithm>
#include <cstring>

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

} // namespace

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

std::optional<QString> walkDifference(const NameWalk& walk, const QStringList& names) {
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (i >= walk.names.size())
            return QStringLiteral("the byte walk reads %1 of the header's %2 names")
                .arg(walk.names.size())
                .arg(names.size());
        if (walk.names[i] != names[i])
            return QStringLiteral("the byte walk reads name %1 as \"%2\" where the header has "
                                  "\"%3\"")
                .arg(i)
                .arg(walk.names[i], names[i]);
    }
    return std::nullopt;
}

} // namespace quorrel
