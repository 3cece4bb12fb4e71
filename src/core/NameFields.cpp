#include "core/NameFields.h"

namespace quorrel {

QString meshNameFor(const QString& packageName) {
    const qsizetype underscore = packageName.indexOf(u'_');
    return underscore < 0 ? packageName : packageName.left(underscore);
}

std::optional<QString> packageNameFromTitle(const QString& fileTitle) {
    if (fileTitle.size() < 4)
        return std::nullopt;
    return fileTitle.chopped(4);
}

} // namespace quorrel
