#include "core/IntText.h"

#include "core/GeneratorState.h"
#include "core/Windows1252.h"

#include <QSaveFile>

#include <new>

namespace quorrel {
namespace {

const QString kCrLf = QStringLiteral("\r\n");

void appendObjectLine(QString& text, const QString& packageName, const QString& picture,
                      const QString* description) {
    text += QStringLiteral("Object=(Name=") + packageName + u'.' + picture +
            QStringLiteral(",Class=Texture");
    if (description)
        text += QStringLiteral(",Description=\"") + *description + u'"';
    text += u')' + kCrLf;
}

} // namespace

QString buildIntText(const QString& packageName, const QString& skinDescription,
                     const QStringList& pictures) {
    QString text = QStringLiteral("[public]") + kCrLf + kCrLf;
    appendObjectLine(text, packageName, pictures.value(0), &skinDescription);
    for (qsizetype k = 1; k < pictures.size(); ++k) {
        const QString& name = pictures.at(k);
        const qsizetype four = name.indexOf(u'4');
        if (four >= 0 && four + 1 < name.size() && !name.contains(u'_')) {
            const QString face = name.mid(four + 1);
            appendObjectLine(text, packageName, name, &face);
        } else {
            appendObjectLine(text, packageName, name, nullptr);
        }
    }
    return text;
}

QString buildIntText(const QString& packageName, const QList<IntObject>& objects) {
    QString text = QStringLiteral("[public]") + kCrLf + kCrLf;
    for (const IntObject& object : objects)
        appendObjectLine(text, packageName, object.name,
                         object.description ? &*object.description : nullptr);
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
