#include "core/IntText.h"

#include "core/GeneratorState.h"
#include "core/Windows1252.h"

#include <QSaveFile>

#include <new>

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

void appendObjectLine(QString& text, QStringView packageName, QStringView picture,
                      QStringView description) {
    text.append(kObjectStart).append(packageName).append(u'.').append(picture).append(kClass);
    if (!description.isNull())
        text.append(kDescriptionStart).append(description).append(u'"');
    text.append(u')').append(kCrLf);
}

} // namespace

QString buildIntText(const QString& packageName, const QString& skinDescription,
                     const QStringList& pictures) {
    // The description of picture 0 is never null, even when empty.
    const QString first = pictures.value(0);
    const QStringView firstDescription =
        skinDescription.isNull() ? QStringView(u"") : QStringView(skinDescription);
    // Measured first, so the text is allocated once: it runs to tens of megabytes.
    qsizetype size = 2 * kCrLf.size() + 8 + objectLineSize(packageName, first, firstDescription);
    for (qsizetype k = 1; k < pictures.size(); ++k)
        size += objectLineSize(packageName, pictures.at(k), faceOf(pictures.at(k)));
    QString text;
    text.reserve(size);
    text.append(u"[public]").append(kCrLf).append(kCrLf);
    appendObjectLine(text, packageName, first, firstDescription);
    for (qsizetype k = 1; k < pictures.size(); ++k)
        appendObjectLine(text, packageName, pictures.at(k), faceOf(pictures.at(k)));
    return text;
}

QString buildIntText(const QString& packageName, const QList<IntObject>& objects) {
    // A description that is there is written, even when empty.
    auto descriptionOf = [](const IntObject& object) {
        if (!object.description)
            return QStringView();
        return object.description->isNull() ? QStringView(u"") : QStringView(*object.description);
    };
    qsizetype size = 2 * kCrLf.size() + 8;
    for (const IntObject& object : objects)
        size += objectLineSize(packageName, object.name, descriptionOf(object));
    QString text;
    text.reserve(size);
    text.append(u"[public]").append(kCrLf).append(kCrLf);
    for (const IntObject& object : objects)
        appendObjectLine(text, packageName, object.name, descriptionOf(object));
    return text;
}

void MakeInt(GeneratorState& state) {
    state.setIntText(buildIntText(state.packageName(), state.skinDescription(), state.pictures()));
}

QByteArray intFileBytes(const QString& intText) {
    return windows1252::encode(intText) + QByteArrayLiteral("\r\n");
}

bool writeIntFile(const QString& path, const QString& intText) {
    if (path.isEmpty())
        return false;
    QSaveFile file(path);
    // Unbuffered, so a full disk fails the write itself: a buffered QSaveFile can take the bytes,
    // fail to flush them and still commit an empty file over the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    // On failure the temporary file goes away with `file`.
    try {
        const QByteArray bytes = intFileBytes(intText);
        return file.write(bytes) == bytes.size() && file.commit();
    } catch (const std::bad_alloc&) { // no memory for the bytes of a huge text
        return false;
    }
}

} // namespace quorrel
