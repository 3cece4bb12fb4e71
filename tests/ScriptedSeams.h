#pragma once

#include "workflows/FileDialogSeam.h"
#include "workflows/MessageBoxSeam.h"

#include <QFileInfo>
#include <QList>
#include <QString>
#include <QtTest>

#include <functional>
#include <optional>

// File dialog and message box that answer from a script, so no test ever waits on a modal window.
class ScriptedFileDialog : public quorrel::FileDialogSeam {
public:
    // The next dialog chooses `path`; `then` runs as the dialog closes, before the workflow
    // goes on (to change the file behind the tool's back).
    void chooseNext(const QString& path, std::function<void()> then = {}) {
        m_answers.append({quorrel::ChosenFile{path, QFileInfo(path).fileName()}, std::move(then)});
    }
    // The next dialog is cancelled.
    void cancelNext() { m_answers.append({std::nullopt, {}}); }

    std::optional<quorrel::ChosenFile> choose(const quorrel::FileDialogRequest& request) override {
        requests.append(request);
        if (m_answers.isEmpty()) {
            qWarning("a file dialog opened that the test did not expect");
            return std::nullopt;
        }
        Answer answer = m_answers.takeFirst();
        if (answer.then)
            answer.then();
        return answer.file;
    }

    bool allAnswered() const { return m_answers.isEmpty(); }

    QList<quorrel::FileDialogRequest> requests;

private:
    struct Answer {
        std::optional<quorrel::ChosenFile> file;
        std::function<void()> then;
    };
    QList<Answer> m_answers;
};

class RecordingMessageBox : public quorrel::MessageBoxSeam {
public:
    struct Shown {
        QString text;
        QString title;
        Buttons buttons;
        Icon icon;
        bool operator==(const Shown&) const = default;
    };

    void show(const QString& text, const QString& title, Buttons buttons, Icon icon) override {
        shown.append({text, title, buttons, icon});
    }

    // Takes the one box shown since the last call; fails the test on none or several.
    Shown takeOnly() {
        if (shown.size() != 1)
            qWarning("expected one message box, got %d", int(shown.size()));
        return shown.isEmpty() ? Shown{} : shown.takeFirst();
    }

    QList<Shown> shown;
};
