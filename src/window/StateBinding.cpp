#include "window/StateBinding.h"

#include "workflows/GeneratorState.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>

#include <algorithm>

namespace quorrel {
namespace {

void setBoxText(QPlainTextEdit* box, const QString& text) {
    if (boxText(box) != text)
        box->setPlainText(text);
}

} // namespace

// Copied in one pass: QString::replace moves the rest of the text for every few hundred breaks,
// which takes seconds on an INT text of a million lines.
QString boxText(const QPlainTextEdit* box) {
    const QString raw = box->document()->toRawText();
    const auto isBreak = [](QChar c) {
        return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
    };
    const qsizetype breaks = std::count_if(raw.cbegin(), raw.cend(), isBreak);
    if (breaks == 0)
        return raw;
    QString text(raw.size() + breaks, Qt::Uninitialized);
    QChar* out = text.data();
    for (const QChar c : raw) {
        if (isBreak(c)) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    return text;
}

StateBinding::StateBinding(GeneratorState& state, const BoundControls& c, QObject* parent)
    : QObject(parent), m_state(state) {
    GeneratorState* s = &state;
    auto showIn = [](QLineEdit* edit) {
        return [edit](const QString& text) {
            if (edit->text() != text)
                edit->setText(text);
        };
    };
    connect(s, &GeneratorState::packageNameChanged, c.packageName, showIn(c.packageName));
    connect(s, &GeneratorState::meshNameChanged, c.meshName, showIn(c.meshName));
    connect(s, &GeneratorState::skinDescriptionChanged, c.skinDescription,
            showIn(c.skinDescription));
    connect(c.meshName, &QLineEdit::textChanged, s, &GeneratorState::setMeshName);
    connect(c.skinDescription, &QLineEdit::textChanged, s, &GeneratorState::setSkinDescription);

    connect(s, &GeneratorState::namesChanged, c.names,
            [s, names = c.names] { names->setStringList(s->names()); });
    connect(s, &GeneratorState::picturesChanged, c.pictures,
            [s, pictures = c.pictures] { pictures->setStringList(s->pictures()); });
    connect(s, &GeneratorState::countTextChanged, c.count, &QLabel::setText);
    connect(s, &GeneratorState::makeIntEnabledChanged, c.makeInt, &QWidget::setEnabled);

    bindBox(c.intText, &GeneratorState::intTextChanged, &GeneratorState::setIntText);
    bindBox(c.infoText, &GeneratorState::infoTextChanged, &GeneratorState::setInfoText);

    connect(s, &GeneratorState::infoPanelShownChanged, this, [c](bool shown) {
        c.infoPanel->setVisible(shown);
        c.allDone->setVisible(shown);
        for (QPushButton* button : c.mainButtons)
            button->setVisible(!shown);
    });
}

// The state keeps a text exactly as it was set, a bare CR or LF included, until the user edits
// the box; only then does the box's text, with CR LF line breaks, replace it.
void StateBinding::bindBox(QPlainTextEdit* box, void (GeneratorState::*changed)(const QString&),
                           void (GeneratorState::*set)(const QString&)) {
    connect(&m_state, changed, box, [this, box](const QString& text) {
        m_settingBox = true;
        setBoxText(box, text);
        m_settingBox = false;
    });
    connect(box, &QPlainTextEdit::textChanged, this, [this, box, set] {
        if (!m_settingBox)
            (m_state.*set)(boxText(box));
    });
}

} // namespace quorrel
