#include "window/Titled.h"

#include <QGroupBox>
#include <QVBoxLayout>

namespace quorrel {

QWidget* titled(const QString& title, QWidget* content) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

} // namespace quorrel
