#pragma once

#include <QString>

#include <exception>

namespace quorrel {

// The one way the core reports that something could not be done. Every function that can fail
// throws a Failure; its text is the plain reason ("missing", "the name count 9 is more than the
// file can hold"), without the file it concerns, which the caller knows.
class Failure : public std::exception {
public:
    enum class Kind {
        Missing,     // no such file
        NotAFile,    // a folder or another kind of entry
        Empty,       // 0 bytes (a FIFO or device reports that too, and is never opened)
        Unreadable,  // open or read failed, or the file changed size while being read
        TooLarge,    // more bytes than this process can hold
        NoEndMarker, // the name walk ran into the end of the file
        ShortName,   // a file name too short to hold a package name and ".utx"
        Damaged,     // the package's tables are damaged; the text says where
        NotWritten,  // a file could not be written
        NotFound,    // what was looked for is in none of the places; the text names them
    };

    explicit Failure(Kind kind, const QString& detail = QString());

    Kind kind() const { return m_kind; }
    const QString& text() const { return m_text; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    Kind m_kind;
    QString m_text;
    QByteArray m_what;
};

} // namespace quorrel
