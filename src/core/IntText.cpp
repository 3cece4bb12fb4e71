#include "core/IntText.h"

#include "core/GeneratorState.h"
#include "core/Windows1252.h"

#include <QSaveFile>

#include <algorithm>
#include <new>
#include <utility>

namespace quorrel {
namespace {

constexpr QStringView kObjectStart = u"Object=(Name=";
constexpr QStringView kClass = u",Class=Texture";
constexpr QStringView kDescriptionStart = u",Description=\"";
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

qsizetype objectLineSize(QStringView packageName, QStringView picture, QStringView description) {
    qsizetype size = kObjectStart.size() + packageName.size() + 1 + picture.size() + kClass.size() +
                     1 + kCrLf.size();
    if (!description.isNull())
        size += kDescriptionStart.size() + description.size() + 1;
    return size;
}

constexpr qsizetype kHeaderSize = 8 + 2 * 2; // "[public]", two line ends

// The text goes to `put` piece by piece. Every piece taken from the fields lies between ASCII
// characters, so encoding the pieces one by one gives the bytes of the whole text.
template <typename Put> void putHeader(Put&& put) {
    for (QStringView piece : {QStringView(u"[public]"), kCrLf, kCrLf})
        put(piece);
}

// A null `description` writes none.
template <typename Put>
void putObjectLine(Put&& put, QStringView packageName, QStringView picture,
                   QStringView description) {
    for (QStringView piece : {kObjectStart, packageName, QStringView(u"."), picture, kClass})
        put(piece);
    if (!description.isNull()) {
        for (QStringView piece : {kDescriptionStart, description, QStringView(u"\"")})
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
    qsizetype size = kHeaderSize;
    for (qsizetype k = 0; k < lines; ++k) {
        const auto [picture, description] = line(k);
        size += objectLineSize(packageName, picture, description);
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

void MakeInt(GeneratorState& state) {
    state.setIntText(buildIntText(state.packageName(), state.skinDescription(), state.pictures()));
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

bool writeIntFile(const QString& path, const QString& intText) {
    try {
        return writeWholeFile(path, intFileBytes(intText));
    } catch (const std::bad_alloc&) { // no memory for the bytes of a huge text
        return false;
    }
}

bool writeWholeFile(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    // Unbuffered, so a full disk fails the write itself: a buffered QSaveFile can take the bytes,
    // fail to flush them and still commit an empty file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // On failure the temporary file goes away with `file`.
    return file.write(bytes) == bytes.size() && file.commit();
}

} // namespace quorrel
