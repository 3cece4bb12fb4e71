#pragma once

#include <QString>

#include <exception>

namespace quorrel {

// How the tool reports that something could not be done:
// - an operation that fails throws a Failure, made by the constructor for the kinds whose text is
//   fixed and by damaged(), notFound(), refused() or notWritten() for those that say more;
// - an operation over many items (the textures of a package, the packages of a game) reports each
//   item's failure as data beside the others and goes on;
// - a lookup that may find nothing returns a std::optional.
// Its text is the plain reason ("missing", "the name count 9 is more than the file can hold"),
// without the file it concerns, which the caller knows.
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
        Refused, // what the tool will not make, since the game would not take it; the text says why
    };

    // A kind whose text is fixed: Missing, NotAFile, Empty, Unreadable, TooLarge, NoEndMarker,
    // ShortName.
    explicit Failure(Kind kind);
    // What is wrong with the bytes, and where.
    static Failure damaged(const QString& reason) { return Failure(Kind::Damaged, reason); }
    // What was looked for, and every place it was looked for in.
    static Failure notFound(const QString& reason) { return Failure(Kind::NotFound, reason); }
    // Why the tool will not make it.
    static Failure refused(const QString& reason) { return Failure(Kind::Refused, reason); }
    // The file or stream that could not be written.
    static Failure notWritten(const QString& what) { return Failure(Kind::NotWritten, what); }

    // The same failure, its text led by what it concerns ("Skin: the face count ...").
    Failure about(const QString& subject) const;

    Kind kind() const { return m_kind; }
    const QString& text() const { return m_text; }
    const char* what() const noexcept override { return m_what.constData(); }

private:
    Failure(Kind kind, const QString& detail);

    Kind m_kind;
    QString m_text;
    QByteArray m_what;
};

// The user's words for a failure that reaches the window or the command line: a Failure's text;
// for too little memory, what Failure(TooLarge) says; for anything else, what it says of itself.
QString failureText(const std::exception& failure);

} // namespace quorrel
