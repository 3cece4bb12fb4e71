#include "workflows/QtMessageBox.h"

#include <QMessageBox>

namespace quorrel {

void QtMessageBox::show(const QString& text, const QString& title, Buttons buttons, Icon icon) {
    QMessageBox box(
        icon == Icon::Critical ? QMessageBox::Critical : QMessageBox::NoIcon, title, text,
        buttons == Buttons::OkCancel ? QMessageBox::Ok | QMessageBox::Cancel : QMessageBox::Ok,
        m_parent);
    box.exec();
}

} // namespace quorrel
