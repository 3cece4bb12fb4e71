#pragma once

#include <QObject>

#include <functional>

class QWidget;

namespace quorrel {

// Runs `onDoubleClick` on a double click on the watched widget.
class DoubleClickFilter : public QObject {
public:
    DoubleClickFilter(QWidget* watched, std::function<void()> onDoubleClick);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_onDoubleClick;
};

} // namespace quorrel
