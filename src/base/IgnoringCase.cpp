#include "base/IgnoringCase.h"

namespace quorrel {

QString caseKey(QStringView text) {
    QString key(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        key[i] = text[i].toLower();
    return key;
}

} // namespace quorrel
