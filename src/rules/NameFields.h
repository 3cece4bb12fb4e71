#pragma once

#include <QString>

// The three name fields: the package name, and the mesh name and skin description it gives.
namespace quorrel {

// A skin package is named mesh, "_", skin: the mesh name is everything before the first "_",
// or the whole name when it holds none.
QString meshNameFor(const QString& packageName);

struct NameFieldValues {
    QString packageName;
    QString meshName;
    QString skinDescription;
};

// What setting the package name derives: the mesh name, and the name itself as description.
NameFieldValues nameFieldsFor(const QString& packageName);

// The package name a chosen file's title gives: the title less its last four characters (the
// ".utx", whatever they are). Throws Failure (ShortName) for a title shorter than that.
QString packageNameFromTitle(const QString& fileTitle);

} // namespace quorrel
