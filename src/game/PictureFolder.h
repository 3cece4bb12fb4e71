#pragma once

#include "formats/PackageWriter.h"
#include "game/SkinPackage.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// A folder of the author's pictures as the skin package it makes, kept up to date as they change.
namespace quorrel {

// A picture of the folder that makes no texture now, and why.
struct PictureProblem {
    QString file; // its file name in the folder
    QString reason;
    bool kept = false; // its last good texture stays in the package meanwhile
    bool operator==(const PictureProblem&) const = default;
};

// What looking at the folder again changed.
struct FolderChange {
    bool textures = false; // the package was built again
    bool names = false;    // the set of its texture names is another
    bool problems = false; // a picture could not be read, or now can
    bool any() const { return textures || names || problems; }
};

// The package the folder's pictures (PNG, BMP, TGA and PCX; other files are left alone) make, in
// the order of their file names, built as quorrel-int --make builds it of them: the folder's name
// is the package's. Each picture's texture is kept with the file's size and modification time,
// so a picture is decoded and reduced again only when it changes. One that cannot be read keeps
// its last good texture, with the reason.
class PictureFolder {
public:
    // Reads every picture. Throws Failure: what reading the folder throws, Refused for a folder
    // name the game cannot take as a package name, a folder without pictures, or a picture
    // --make refuses (the text leads with its file name).
    explicit PictureFolder(const QString& path);

    // Looks at the folder again: reads the pictures that are new, changed, or not read before,
    // and those in `touched` (full paths) whatever their size and time say; drops those gone.
    FolderChange refresh(const QStringList& touched = {});

    const QString& path() const { return m_package.file; }
    // The package as built now, its `file` the folder. Bytes and tables change with refresh().
    const SkinPackage& package() const { return m_package; }
    // The pictures that make no texture now; a folder that is gone names no file.
    const QList<PictureProblem>& problems() const { return m_problems; }
    // The full paths of the pictures, to watch.
    QStringList pictureFiles() const;
    // The package, as long as every picture is read. Throws Failure (Refused) naming each
    // picture that is not, or when there is none.
    const QByteArray& completeBytes() const;

private:
    struct Entry {
        QString file; // file name in the folder
        qint64 size = -1;
        QDateTime modified;                    // of the file as last read
        std::optional<PackageTexture> texture; // the last good one
        QString problem;                       // why it makes no texture now
        bool nameRefused = false;              // the problem is its name: reading cannot help
    };
    void rebuild();

    QList<Entry> m_entries; // by file name
    QList<PictureProblem> m_problems;
    SkinPackage m_package;
};

} // namespace quorrel
