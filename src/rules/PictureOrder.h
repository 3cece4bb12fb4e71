#pragma once

#include <QStringList>
#include <QStringView>

namespace quorrel {

// The order of the picture list: character by character, without regard to case, punctuation
// before digits before letters; a name that is the start of another comes first. There is no
// numeric ordering, so "Tigr10" comes before "Tigr2". Names that differ only in case compare
// equal and keep the order in which they were added.
bool pictureLess(QStringView a, QStringView b);

// Sorts a whole list at once; the result equals inserting each item in list order after every
// item that does not sort after it.
void sortPictures(QStringList& names);

} // namespace quorrel
