#pragma once

#include <QString>

#include <optional>

namespace quorrel {

// A skin package is named mesh, "_", skin: the mesh name is everything before the first "_",
// or the whole name when it holds none.
QString meshNameFor(const QString& packageName);

// The package name a chosen file's title gives: the title less its last four characters (the
// ".utx", whatever they are). Nothing for a title shorter than that.
std::optional<QString> packageNameFromTitle(const QString& fileTitle);

} // namespace quorrel
