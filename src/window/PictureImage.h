#pragma once

#include "base/Picture.h"

#include <QImage>
#include <QString>

namespace quorrel {

// The picture as an image, alpha included.
QImage imageOf(const Picture& picture);

// A square of `side` pixels that says in a few words why there is no picture to show.
QImage placeholderImage(const QString& reason, int side);

} // namespace quorrel
