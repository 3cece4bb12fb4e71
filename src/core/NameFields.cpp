#include "core/NameFields.h"

namespace quorrel {

QString meshNameFor(const QString& packageName) {
    const qsizetype underscore = packageName.indexOf(u'_');
    return underscore < 0 ? packageName : packageName.left(underscore);
}

} // namespace quorrel
