#pragma once

#include <QByteArray>

namespace quorrel {

// A picture as plain bytes: `width` x `height` pixels, four bytes each (red, green, blue, alpha),
// rows from the top. Null when it has no pixels.
struct Picture {
    int width = 0;
    int height = 0;
    QByteArray rgba;

    bool isNull() const { return width <= 0 || height <= 0; }
};

} // namespace quorrel
