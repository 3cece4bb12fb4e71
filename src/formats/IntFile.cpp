#include "formats/IntFile.h"

#include "base/IgnoringCase.h"
#include "base/Windows1252.h"

#include <QHash>

#include <algorithm>
#include <utility>

namespace quorrel {
namespace {

// The grammar both ways: the writer puts these words, the reader looks for them without case.
constexpr QStringView kSection = u"public";
constexpr QStringView kObjectKey = u"Object";
constexpr QStringView kNameKey = u"Name";
constexpr QStringView kClassKey = u"Class";
constexpr QStringView kDescriptionKey = u"Description";
constexpr QStringView kMetaClassKey = u"MetaClass";
constexpr QStringView kTextureClass = u"Texture";
constexpr QStringView kQuote = u"\"";
constexpr QStringView kCrLf = u"\r\n";

// What follows the first "4" of a later picture's name, when that "4" is not last and the name
// holds no "_"; a null view when the picture has no face.
QStringView faceOf(QStringView name) {
    qsizetype four = -1;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i] == u'_')
            return QStringView();
        if (four < 0 && name[i] == u'4')
            four = i;
    }
    return four >= 0 && four + 1 < name.size() ? name.sliced(four + 1) : QStringView();
}

// The text goes to `put` piece by piece. Every piece taken from the fields lies between ASCII
// characters, so encoding the pieces one by one gives the bytes of the whole text.
template <typename Put> void putHeader(Put&& put) {
    for (QStringView piece : {QStringView(u"["), kSection, QStringView(u"]"), kCrLf, kCrLf})
        put(piece);
}

// The fixed pieces of an Object line, made once from the grammar's words.
struct LinePieces {
    static QString join(std::initializer_list<QStringView> pieces) {
        QString text;
        for (QStringView piece : pieces)
            text += piece;
        return text;
    }
    QString objectStart = join({kObjectKey, u"=(", kNameKey, u"="});
    QString textureClass = join({u",", kClassKey, u"=", kTextureClass});
    QString descriptionStart = join({u",", kDescriptionKey, u"=", kQuote});
};

// A null `description` writes none.
template <typename Put>
void putObjectLine(Put&& put, QStringView packageName, QStringView picture,
                   QStringView description) {
    static const LinePieces fixed;
    for (QStringView piece : {QStringView(fixed.objectStart), packageName, QStringView(u"."),
                              picture, QStringView(fixed.textureClass)})
        put(piece);
    if (!description.isNull()) {
        for (QStringView piece : {QStringView(fixed.descriptionStart), description, kQuote})
            put(piece);
    }
    for (QStringView piece : {QStringView(u")"), kCrLf})
        put(piece);
}

// A description that is there is written, even when empty: its view is never null.
QStringView described(const QString& description) {
    return description.isNull() ? QStringView(u"") : QStringView(description);
}

// Sizes the text first, so it is allocated once (tens of megabytes for a huge package), then
// puts it piece by piece. `line(k)` gives object line k's picture and description.
template <typename Line, typename Reserve, typename Put>
void objectsText(QStringView packageName, qsizetype lines, Line&& line, Reserve&& reserve,
                 Put&& put) {
    qsizetype size = 0;
    const auto count = [&size](QStringView piece) { size += piece.size(); };
    putHeader(count);
    for (qsizetype k = 0; k < lines; ++k) {
        const auto [picture, description] = line(k);
        putObjectLine(count, packageName, picture, description);
    }
    reserve(size);
    putHeader(put);
    for (qsizetype k = 0; k < lines; ++k) {
        const auto [picture, description] = line(k);
        putObjectLine(put, packageName, picture, description);
    }
}

using ObjectLine = std::pair<QStringView, QStringView>;

// Picture 0 takes the skin description; an empty list still gives its line, for an empty name.
template <typename Reserve, typename Put>
void pictureText(const QString& packageName, const QString& skinDescription,
                 const QStringList& pictures, Reserve&& reserve, Put&& put) {
    objectsText(
        packageName, std::max<qsizetype>(1, pictures.size()),
        [&](qsizetype k) {
            if (k == 0)
                return ObjectLine(pictures.isEmpty() ? QStringView() : pictures.first(),
                                  described(skinDescription));
            return ObjectLine(pictures.at(k), faceOf(pictures.at(k)));
        },
        reserve, put);
}

// The fields of "(Key=Value,Key="Value",...)", keyed by caseKey(). A quoted value ends at the
// next quote, as the game reads it; an unquoted one at "," or ")". The first of two equal keys
// counts.
QHash<QString, QString> readFields(QStringView value) {
    QHash<QString, QString> fields;
    qsizetype at = value.startsWith(u'(') ? 1 : 0;
    while (at < value.size() && value[at] != u')') {
        const qsizetype equals = value.indexOf(u'=', at);
        if (equals < 0)
            break;
        const QString key = caseKey(value.sliced(at, equals - at).trimmed());
        at = equals + 1;
        while (at < value.size() && value[at].isSpace())
            ++at;
        QString text;
        if (at < value.size() && value[at] == kQuote[0]) {
            qsizetype close = value.indexOf(kQuote[0], at + 1);
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

QString buildIntText(const QString& packageName, const QString& skinDescription,
                     const QStringList& pictures) {
    QString text;
    pictureText(
        packageName, skinDescription, pictures, [&text](qsizetype size) { text.reserve(size); },
        [&text](QStringView piece) { text.append(piece); });
    return text;
}

QString buildIntText(const QString& packageName, const QList<IntObject>& objects) {
    auto descriptionOf = [](const IntObject& object) {
        return object.description ? described(*object.description) : QStringView();
    };
    QString text;
    objectsText(
        packageName, objects.size(),
        [&](qsizetype k) { return ObjectLine(objects.at(k).name, descriptionOf(objects.at(k))); },
        [&text](qsizetype size) { text.reserve(size); },
        [&text](QStringView piece) { text.append(piece); });
    return text;
}

QByteArray intFileBytes(const QString& intText) {
    return windows1252::encode(intText) + QByteArrayLiteral("\r\n");
}

QByteArray intFileBytes(const QString& packageName, const QString& skinDescription,
                        const QStringList& pictures) {
    QByteArray bytes;
    char* out = nullptr;
    pictureText(
        packageName, skinDescription, pictures,
        [&](qsizetype size) { // a character gives at most one byte
            bytes.resize(size + 2);
            out = bytes.data();
        },
        [&out](QStringView piece) { out += windows1252::encodeInto(piece, out); });
    *out++ = '\r';
    *out++ = '\n';
    bytes.truncate(out - bytes.data());
    return bytes;
}

QString decodeIntFile(QByteArrayView bytes) {
    if (bytes.startsWith("\xFF\xFE")) {
        const QByteArrayView units = bytes.sliced(2);
        return QString::fromUtf16(reinterpret_cast<const char16_t*>(units.data()),
                                  units.size() / 2);
    }
    return windows1252::decode(bytes);
}

QList<IntEntry> readIntEntries(QStringView text) {
    static const QString nameKey = caseKey(kNameKey), classKey = caseKey(kClassKey),
                         descriptionKey = caseKey(kDescriptionKey),
                         metaClassKey = caseKey(kMetaClassKey);
    QList<IntEntry> entries;
    bool inSection = false;
    int number = 0;
    for (const QStringView rawLine : text.tokenize(u'\n')) {
        ++number;
        const QStringView line = rawLine.trimmed(); // takes the CR of CR LF too
        if (line.startsWith(u'[')) {
            const qsizetype close = line.indexOf(u']');
            inSection =
                close > 0 && sameIgnoringCase(line.sliced(1, close - 1).trimmed(), kSection);
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (!inSection || line.startsWith(u';') || equals < 0 ||
            !sameIgnoringCase(line.first(equals).trimmed(), kObjectKey))
            continue;
        const QHash<QString, QString> fields = readFields(line.sliced(equals + 1).trimmed());
        IntEntry entry;
        entry.line = number;
        const QString name = fields.value(nameKey);
        const qsizetype dot = name.indexOf(u'.');
        entry.package = dot < 0 ? QString() : name.first(dot);
        entry.object = name.sliced(dot + 1);
        entry.className = fields.value(classKey);
        entry.metaClass = fields.value(metaClassKey);
        if (const auto found = fields.constFind(descriptionKey); found != fields.cend())
            entry.description = *found;
        entries.append(entry);
    }
    return entries;
}

bool isTextureEntry(const IntEntry& entry) {
    return sameIgnoringCase(entry.className, kTextureClass);
}

bool describesTexture(const IntEntry& entry) {
    return entry.description && !entry.description->isEmpty() && isTextureEntry(entry);
}

bool readsBackWhole(QStringView description) {
    return !description.isEmpty() && !description.contains(kQuote) &&
           !description.contains(u'\r') && !description.contains(u'\n');
}

} // namespace quorrel
