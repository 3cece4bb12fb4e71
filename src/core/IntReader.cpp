#include "core/IntReader.h"

#include "core/Windows1252.h"

#include <QHash>

namespace quorrel {
namespace {

bool sameText(QStringView a, QStringView b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// The fields of "(Key=Value,Key="Value",...)". A quoted value ends at the next quote, as the game
// reads it; an unquoted one at "," or ")". The first of two equal keys counts.
QHash<QString, QString> readFields(QStringView value) {
    QHash<QString, QString> fields;
    qsizetype at = value.startsWith(u'(') ? 1 : 0;
    while (at < value.size() && value[at] != u')') {
        const qsizetype equals = value.indexOf(u'=', at);
        if (equals < 0)
            break;
        const QString key = value.sliced(at, equals - at).trimmed().toString().toLower();
        at = equals + 1;
        while (at < value.size() && value[at].isSpace())
            ++at;
        QString text;
        if (at < value.size() && value[at] == u'"') {
            qsizetype close = value.indexOf(u'"', at + 1);
            if (close < 0)
                close = value.size();
            text = value.sliced(at + 1, close - at - 1).toString();
            at = close + 1;
        } else {
            qsizetype end = at;
            while (end < value.size() && value[end] != u',' && value[end] != u')')
                ++end;
            text = value.sliced(at, end - at).trimmed().toString();
            at = end;
        }
        if (!fields.contains(key))
            fields.insert(key, text);
        while (at < value.size() && (value[at] == u',' || value[at].isSpace()))
            ++at;
    }
    return fields;
}

} // namespace

QString decodeIntFile(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xFE")) {
        const QByteArrayView units = bytes.sliced(2);
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(units.data()),
                                  units.size() / 2);
    }
    return windows1252::decode(bytes);
}

QList<IntEntry> readIntEntries(QStringView text) {
    QList<IntEntry> entries;
    bool inPublic = false;
    int number = 0;
    for (const QStringView rawLine : text.tokenize(u'\n')) {
        ++number;
        const QStringView line = rawLine.trimmed(); // takes the CR of CR LF too
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            inPublic = close > 0 && sameText(line.sliced(1, close - 1).trimmed(), u"public");
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inPublic || line.startsWith(u';') || equals < 0 ||
            !sameText(line.first(equals).trimmed(), u"Object"))
            continue;
        const QHash<QString, QString> fields = readFields(line.sliced(equals + 1).trimmed());
        IntEntry entry;
        entry.line = number;
        const QString name = fields.value(QStringLiteral("name"));
        const qsizetype dot = name.indexOf(u'.');
        entry.package = dot < 0 ? QString() : name.first(dot);
        entry.object = name.sliced(dot + 1);
        entry.className = fields.value(QStringLiteral("class"));
        if (const auto found = fields.constFind(QStringLiteral("description"));
            found != fields.cend())
            entry.description = *found;
        entries.append(entry);
    }
    return entries;
}

} // namespace quorrel
