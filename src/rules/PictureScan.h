#pragma once

#include "rules/NameFields.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

// From a package's bytes to the window's picture list and the .int it saves: the byte walk, the
// pictures chosen by the mesh name, their order. The window and quorrel-int both go this way.
namespace quorrel {

// The names after the first one that begins with `meshName` (ignoring case), less those that begin
// with "palette", in file order.
QStringList selectPictures(const QStringList& names, QStringView meshName);

struct PictureScan {
    QStringList names;    // every name the walk read, in file order
    QStringList pictures; // sorted as the picture list shows them
    bool complete = true; // false: the walk ran into the end of the file; no pictures then
};

// Walks `bytes`, then selects and sorts the pictures when the walk was complete.
PictureScan scanPictures(QByteArrayView bytes, QStringView meshName);

// Throws Failure (NoEndMarker) for a scan whose walk ran into the end of the file.
void requireComplete(const PictureScan& scan);

// The count text the window shows after a scan.
QString countTextFor(qsizetype pictureCount);

// The bytes the window saves after opening `package` with these name fields, "Make INT" and
// "Save". Throws Failure where the window's Open fails.
QByteArray windowIntBytes(QByteArrayView package, const NameFieldValues& fields);

} // namespace quorrel
