#pragma once

#include <QString>

namespace quorrel {

// A skin package is named mesh, "_", skin: the mesh name is everything before the first "_",
// or the whole name when it holds none.
QString meshNameFor(const QString& packageName);

} // namespace quorrel
