#include "window/DoubleClickFilter.h"

#include <QEvent>
#include <QWidget>

namespace quorrel {

DoubleClickFilter::DoubleClickFilter(QWidget* watched, std::function<void()> onDoubleClick)
    : QObject(watched), m_onDoubleClick(std::move(onDoubleClick)) {
    watched->installEventFilter(this);
}

bool DoubleClickFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonDblClick)
        return QObject::eventFilter(watched, event);
    m_onDoubleClick();
    return true;
}

} // namespace quorrel
