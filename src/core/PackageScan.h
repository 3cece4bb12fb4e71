#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <stdexcept>

namespace quorrel {

class GeneratorState;

// Why a scan stopped short. The Open workflow reports every one of them the same way; the reason
// is there for tests and for command-line use.
class ScanFailure : public std::runtime_error {
public:
    enum class Reason {
        Missing,     // no such file
        NotAFile,    // a folder or another kind of entry
        Empty,       // 0 bytes (a FIFO or device reports that too, and is never opened)
        Unreadable,  // open or read failed, or the file changed size while being read
        TooLarge,    // more bytes than this process can hold
        NoEndMarker, // the name walk ran into the end of the file
    };

    ScanFailure(Reason reason, const QString& path);

    Reason reason() const { return m_reason; }
    static QString describe(Reason reason);

private:
    Reason m_reason;
};

// The result of walking a package's name table.
struct NameWalk {
    QStringList names;    // in file order
    bool complete = true; // false: a test needed a byte past the end; `names` holds what was read
};

// Walks the bytes from position 66 (counting from 1), taking a name at each name-end marker
// (00 10 ?? 07) and stopping at the stop marker (40 04). Reads no byte outside `bytes`.
NameWalk walkNames(QByteArrayView bytes);

// The names after the first one that begins with `meshName` (ignoring case), less those that begin
// with "palette", in file order (the picture list sorts them).
QStringList selectPictures(const QStringList& names, QStringView meshName);

// The count text the window shows after a scan.
QString countTextFor(qsizetype pictureCount);

// Reads the whole file in one read. Throws ScanFailure.
QByteArray readPackage(const QString& path);

// Scans the package at `path` into `state`: replaces the name list and the picture list, sets the
// count text and enables "Make INT". Throws ScanFailure: a file that cannot be read changes
// nothing; a walk that runs into the end of the file keeps the names read so far, clears the
// picture list and sets the count to 0, so no earlier package's pictures survive under the new
// package's name.
void ParseFile(GeneratorState& state, const QString& fName);
// The same for a package already read from `fName`.
void scanPackageBytes(GeneratorState& state, QByteArrayView bytes, const QString& fName);

} // namespace quorrel
