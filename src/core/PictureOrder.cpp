#include "core/PictureOrder.h"

#include <algorithm>

namespace quorrel {
namespace {

// Class first (punctuation and symbols, then digits, then letters), then the lower-case code.
unsigned sortKey(QChar c) {
    const QChar lower = c.toLower();
    unsigned rank = 0;
    if (c.unicode() >= u'0' && c.unicode() <= u'9')
        rank = 1;
    else if (c.isLetter())
        rank = 2;
    return (rank << 16) | lower.unicode();
}

} // namespace

bool pictureLess(QStringView a, QStringView b) {
    const qsizetype common = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < common; ++i) {
        const unsigned ka = sortKey(a[i]);
        const unsigned kb = sortKey(b[i]);
        if (ka != kb)
            return ka < kb;
    }
    return a.size() < b.size();
}

void insertPicture(QStringList& sorted, const QString& name) {
    const auto at =
        std::upper_bound(sorted.cbegin(), sorted.cend(), name,
                         [](const QString& x, const QString& y) { return pictureLess(x, y); });
    sorted.insert(at - sorted.cbegin(), name);
}

void sortPictures(QStringList& names) {
    std::stable_sort(names.begin(), names.end(),
                     [](const QString& x, const QString& y) { return pictureLess(x, y); });
}

} // namespace quorrel
