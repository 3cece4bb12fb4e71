#include "rules/NameFields.h"

#include "base/Failure.h"

namespace quorrel {

QString meshNameFor(const QString& packageName) {
    const qsizetype underscore = packageName.indexOf(u'_');
    return underscore < 0 ? packageName : packageName.left(underscore);
}

NameFieldValues nameFieldsFor(const QString& packageName) {
    return {packageName, meshNameFor(packageName), packageName};
}

QString packageNameFromTitle(const QString& fileTitle) {
    if (fileTitle.size() < 4)
        throw Failure(Failure::Kind::ShortName);
    return fileTitle.chopped(4);
}

} // namespace quorrel
