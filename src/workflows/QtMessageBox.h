#pragma once

#include "workflows/MessageBoxSeam.h"

class QWidget;

namespace quorrel {

// The real message box behind the seam: a modal QMessageBox with exactly the given title.
class QtMessageBox : public MessageBoxSeam {
public:
    explicit QtMessageBox(QWidget* parent) : m_parent(parent) {}
    void show(const QString& text, const QString& title, Buttons buttons, Icon icon) override;

private:
    QWidget* m_parent;
};

} // namespace quorrel
