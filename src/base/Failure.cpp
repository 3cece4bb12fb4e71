#include "base/Failure.h"

namespace quorrel {
namespace {

QString textFor(Failure::Kind kind, const QString& detail) {
    using Kind = Failure::Kind;
    switch (kind) {
    case Kind::Missing:
        return QStringLiteral("missing");
    case Kind::NotAFile:
        return QStringLiteral("not a file");
    case Kind::Empty:
        return QStringLiteral("empty");
    case Kind::Unreadable:
        return QStringLiteral("unreadable");
    case Kind::TooLarge:
        return QStringLiteral("too large to read into memory");
    case Kind::NoEndMarker:
        return QStringLiteral("the scan reached the end of the file without its end marker");
    case Kind::ShortName:
        return QStringLiteral("the file name is shorter than four characters");
    case Kind::Damaged:
    case Kind::NotFound:
        return detail;
    case Kind::NotWritten:
        return QStringLiteral("could not write ") + detail;
    }
    return detail;
}

} // namespace

Failure::Failure(Kind kind, const QString& detail)
    : m_kind(kind), m_text(textFor(kind, detail)), m_what(m_text.toUtf8()) {}

} // namespace quorrel
