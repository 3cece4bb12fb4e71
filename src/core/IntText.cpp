#include "core/IntText.h"

#include "core/GeneratorState.h"

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

void MakeInt(GeneratorState& state) {
    state.setIntText(buildIntText(state.packageName(), state.skinDescription(), state.pictures()));
}

} // namespace quorrel
