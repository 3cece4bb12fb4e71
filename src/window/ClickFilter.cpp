#include "window/ClickFilter.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QWidget>

namespace quorrel {

ClickFilter::ClickFilter(QWidget* watched, std::function<void()> onClick)
    : QObject(watched), m_watched(watched), m_onClick(std::move(onClick)) {
    watched->installEventFilter(this);
}

bool ClickFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        m_pressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (event->type() != QEvent::MouseButtonRelease || !m_pressed)
        return QObject::eventFilter(watched, event);
    m_pressed = false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::LeftButton ||
        !m_watched->rect().contains(mouse->position().toPoint()))
        return QObject::eventFilter(watched, event);
    // The widget's own handling first; the filter lets the event through this time.
    QCoreApplication::sendEvent(m_watched, event);
    m_onClick();
    return true;
}

} // namespace quorrel
