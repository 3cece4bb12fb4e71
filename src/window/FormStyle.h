#pragma once

#include <QColor>
#include <QFont>
#include <QString>

// The main window's look: a dark window, green text on black in the data controls, the old
// dialog typefaces where this system has them.
namespace quorrel::style {

inline const QColor kDarkGrey(64, 64, 64);
inline const QColor kGreen(0, 192, 0);

// The typeface at that size and weight; where it is missing, the nearest sans serif at the same
// size and weight: Tahoma under Wine, DejaVu Sans on Linux.
QFont fontFor(const QString& family, qreal points, QFont::Weight weight);

// "Small Fonts" at 6.75 points: the name boxes, the picture list and the INT box.
QFont smallFonts();

// The data controls: black box, green text, flat one-pixel border; the frame's grey border and
// green caption. One style sheet for the whole window, so it is parsed once.
const QString& dataControlStyle();

} // namespace quorrel::style
