#include "base/Failure.h"

#include <new>

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
    case Kind::Refused:
        return detail;
    case Kind::NotWritten:
        return QStringLiteral("could not write ") + detail;
    }
    return detail;
}

} // namespace

Failure::Failure(Kind kind) : Failure(kind, QString()) {}

Failure::Failure(Kind kind, const QString& detail)
    : m_kind(kind), m_text(textFor(kind, detail)), m_what(m_text.toUtf8()) {}

Failure Failure::about(const QString& subject) const {
    Failure failure = *this;
    failure.m_text = subject + QStringLiteral(": ") + m_text;
    failure.m_what = failure.m_text.toUtf8();
    return failure;
}

QString failureText(const std::exception& failure) {
    if (const auto* own = dynamic_cast<const Failure*>(&failure))
        return own->text();
    if (dynamic_cast<const std::bad_alloc*>(&failure))
        return Failure(Failure::Kind::TooLarge).text();
    return QString::fromUtf8(failure.what());
}

} // namespace quorrel
