#pragma once

#include <QImage>
#include <QString>

namespace quorrel {

// A square of `side` pixels that says in a few words why there is no picture to show.
QImage placeholderImage(const QString& reason, int side);

} // namespace quorrel
