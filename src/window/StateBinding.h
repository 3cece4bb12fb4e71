#pragma once

#include <QList>
#include <QObject>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;
class QWidget;

namespace quorrel {

class GeneratorState;

// The main window's controls that show a value of the state.
struct BoundControls {
    QLineEdit* packageName;
    QLineEdit* meshName;
    QLineEdit* skinDescription;
    QStringListModel* names;
    QStringListModel* pictures;
    QLabel* count;
    QPushButton* makeInt;
    QPlainTextEdit* intText;
    QPlainTextEdit* infoText;
    QWidget* infoPanel;
    QPushButton* allDone;
    QList<QPushButton*> mainButtons; // hidden while the info panel is shown
};

// Shows each value of the state in its control, and passes the user's edits of the mesh name, the
// skin description and the two text boxes back. (The package name box runs its own handler.)
class StateBinding : public QObject {
public:
    StateBinding(GeneratorState& state, const BoundControls& controls, QObject* parent);

private:
    void bindBox(QPlainTextEdit* box, void (GeneratorState::*changed)(const QString&),
                 void (GeneratorState::*set)(const QString&));

    GeneratorState& m_state;
    bool m_settingBox = false; // a text box is showing a state value, not taking an edit
};

// The text of a multi-line box, every line break as CR LF whatever the text was set with.
QString boxText(const QPlainTextEdit* box);

} // namespace quorrel
