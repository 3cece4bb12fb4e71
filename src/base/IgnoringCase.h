#pragma once

#include <QString>
#include <QStringView>

// Names compare as the game compares them, without regard to case: character by character, each
// lower-cased, so a text keeps its length.
namespace quorrel {

// Inline: the picture selection asks it of every name of a package.
inline bool startsWithIgnoringCase(QStringView text, QStringView prefix) {
    if (text.size() < prefix.size())
        return false;
    for (qsizetype i = 0; i < prefix.size(); ++i) {
        if (text[i] != prefix[i] && text[i].toLower() != prefix[i].toLower())
            return false;
    }
    return true;
}

inline bool sameIgnoringCase(QStringView a, QStringView b) {
    return a.size() == b.size() && startsWithIgnoringCase(a, b);
}

// A key under which texts that compare the same fall together.
QString caseKey(QStringView text);

} // namespace quorrel
