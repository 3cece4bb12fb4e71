#include "core/PictureOrder.h"

#include <algorithm>
#include <array>

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

void sortPictures(QStringList& names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& x, const QString& y) { return pictureLess(x, y); });
}

} // namespace quorrel
