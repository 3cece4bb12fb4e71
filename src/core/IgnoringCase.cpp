#include "core/IgnoringCase.h"

namespace quorrel {

bool startsWithIgnoringCase(QStringView text, QStringView prefix) {
    if (text.size() < prefix.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        if (text[i] != prefix[i] && text[i].toLower() != prefix[i].toLower())
            return false;
    }
    return true;
}

bool sameIgnoringCase(QStringView a, QStringView b) {
    return a.size() == b.size() && startsWithIgnoringCase(a, b);
}

QString caseKey(QStringView text) {
    QString key(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        key[i] = text[i].toLower();
    return key;
}

} // namespace quorrel
