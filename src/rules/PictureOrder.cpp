#include "rules/PictureOrder.h"

#include <algorithm>
#include <array>
#include <vector>

namespace quorrel {
namespace {

// Class first (punctuation and symbols, then digits, then letters), then the lower-case code.
constexpr unsigned key(unsigned rank, char16_t lower) {
    return (rank << 16) | lower;
}

constexpr std::array<unsigned, 128> makeAsciiKeys() {
    std::array<unsigned, 128> keys{};
    for (char16_t c = 0; c < 128; ++c) {
        if (c >= u'0' && c <= u'9')
            keys[c] = key(1, c);
        else if (c >= u'a' && c <= u'z')
            keys[c] = key(2, c);
        else if (c >= u'A' && c <= u'Z')
            keys[c] = key(2, char16_t(c - u'A' + u'a'));
        else
            keys[c] = key(0, c);
    }
    return keys;
}

constexpr std::array<unsigned, 128> kAsciiKeys = makeAsciiKeys();

unsigned sortKey(QChar c) {
    if (c.unicode() < 128)
        return kAsciiKeys[c.unicode()];
    return key(c.isLetter() ? 2 : c.isDigit() ? 1 : 0, c.toLower().unicode());
}

} // namespace

bool pictureLess(QStringView a, QStringView b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        if (a[i] == b[i])
            continue;
        const unsigned ka = sortKey(a[i]);
        const unsigned kb = sortKey(b[i]);
        if (ka != kb)
            return ka < kb;
    }
    return a.size() < b.size();
}

namespace {

// The start of a name as a number that orders like pictureLess: a smaller prefix means an earlier
// name; equal prefixes need the whole names. While the first eight characters of every name are
// ASCII, each takes a byte (its rank among the ASCII keys, from 1); otherwise the first three take
// 19 bits each (key + 1). A name shorter than that is padded with zeros.
class SortPrefix {
public:
    explicit SortPrefix(const QStringList& names) {
        m_ascii = std::all_of(names.cbegin(), names.cend(), [](const QString& name) {
            const QStringView start = QStringView(name).left(8);
            return std::all_of(start.begin(), start.end(), [](QChar c) { return c < u'\x80'; });
        });
        std::array<unsigned, 128> sorted = kAsciiKeys;
        std::sort(sorted.begin(), sorted.end());
        for (unsigned c = 0; c < 128; ++c)
            m_asciiRank[c] =
                quint8(1 + (std::lower_bound(sorted.begin(), sorted.end(), kAsciiKeys[c]) -
                            sorted.begin()));
    }

    quint64 operator()(QStringView name) const {
        quint64 prefix = 0;
        if (m_ascii) {
            for (qsizetype i = 0; i < 8; ++i)
                prefix = (prefix << 8) | (i < name.size() ? m_asciiRank[name[i].unicode()] : 0u);
        } else {
            for (qsizetype i = 0; i < 3; ++i)
                prefix = (prefix << 19) | (i < name.size() ? sortKey(name[i]) + 1 : 0u);
        }
        return prefix;
    }

private:
    bool m_ascii = true;
    std::array<quint8, 128> m_asciiRank{};
};

} // namespace

void sortPictures(QStringList& names) {
    // Most comparisons of a big sort end in the prefixes, which lie side by side in memory.
    const SortPrefix prefixOf(names);
    struct Entry {
        quint64 prefix;
        qsizetype index;
    };
    std::vector<Entry> entries;
    entries.reserve(size_t(names.size()));
    for (qsizetype i = 0; i < names.size(); ++i)
        entries.push_back({prefixOf(names.at(i)), i});
    std::stable_sort(entries.begin(), entries.end(), [&names](const Entry& x, const Entry& y) {
        if (x.prefix != y.prefix)
            return x.prefix < y.prefix;
        return pictureLess(names.at(x.index), names.at(y.index));
    });
    QStringList sorted;
    sorted.reserve(names.size());
    for (const Entry& e : entries)
        sorted.append(std::move(names[e.index]));
    names = std::move(sorted);
}

} // namespace quorrel
