#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace quorrel {

// Runs `onClick` when the watched widget is clicked: a left press and a release inside it.
// Gaining focus alone runs nothing. The widget handles the release itself first.
class ClickFilter : public QObject {
public:
    ClickFilter(QWidget* watched, std::function<void()> onClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_watched;
    std::function<void()> m_onClick;
    bool m_pressed = false;
};

} // namespace quorrel
