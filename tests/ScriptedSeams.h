#pragma once

#include "workflows/BrowserSeam.h"
#include "workflows/FileDialogSeam.h"
#include "workflows/MessageBoxSeam.h"

#include <QFileInfo>
#include <QList>
#include <QtTest>

#include <functional>
#include <optional>

// File dialog and message box that answer from a script, so no test ever waits on a modal window.
class ScriptedFileDialog : public quorrel::FileDialogSeam {
public:
    // The next dialog chooses `path`, or is cancelled when it is empty. `then` runs as the dialog
    // closes, before the workflow goes on (to change the file behind the tool's back).
    void chooseNext(const QString& path, std::function<void()> then = {}) {
        m_answers.append({path, std::move(then)});
    }
    void cancelNext() { chooseNext({}); }

    std::optional<quorrel::ChosenFile> choose(const quorrel::FileDialogRequest& request) override {
        requests.append(request); // a dialog not scripted is cancelled
        const auto [path, then] = m_answers.isEmpty() ? Answer() : m_answers.takeFirst();
        if (then)
            then();
        return path.isEmpty()
                   ? std::nullopt
                   : std::optional(quorrel::ChosenFile{path, QFileInfo(path).fileName()});
    }

    QList<quorrel::FileDialogRequest> requests;

private:
    using Answer = std::pair<QString, std::function<void()>>;
    QList<Answer> m_answers;
};

class RecordingMessageBox : public quorrel::MessageBoxSeam {
public:
    struct Shown {
        QString text, title;
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
            QTest::qFail("not one message box shown", __FILE__, __LINE__);
        return shown.isEmpty() ? Shown{} : shown.takeFirst();
    }

    QList<Shown> shown;
};

// Records the pages it is asked to show instead of opening a browser.
class RecordingBrowser : public quorrel::BrowserSeam {
public:
    bool show(const QString& file) override {
        shown.append(file);
        return true;
    }

    QStringList shown;
};
