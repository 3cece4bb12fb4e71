#pragma once

#include <QString>
#include <QStringView>

// Names compare as the game compares them, without regard to case: character by character, each
// lower-cased, so a text keeps its length.
namespace quorrel {

bool sameIgnoringCase(QStringView a, QStringView b);
bool startsWithIgnoringCase(QStringView text, QStringView prefix);

// A key under which texts that compare the same fall together.
QString caseKey(QStringView text);

} // namespace quorrel
