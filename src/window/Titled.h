#pragma once

#include <QString>

class QWidget;

namespace quorrel {

// `content` in a box with a title, as the game view's parts are shown.
QWidget* titled(const QString& title, QWidget* content);

} // namespace quorrel
