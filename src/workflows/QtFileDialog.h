#pragma once

#include "workflows/FileDialogSeam.h"

#include <QString>
#include <QStringList>

class QWidget;

namespace quorrel {

// The real file dialog behind the seam: a modal QFileDialog titled "Open" or "Save As".
class QtFileDialog : public FileDialogSeam {
public:
    explicit QtFileDialog(QWidget* parent) : m_parent(parent) {}
    std::optional<ChosenFile> choose(const FileDialogRequest& request) override;

private:
    QWidget* m_parent;
};

// "UTX Format (*.utx)|*.utx|All Files (*.*)|*.*" as Qt name filters: "UTX Format (*.utx)",
// "All Files (*)". "*.*" means every file, also one without an extension.
QStringList nameFiltersFrom(const QString& filter);

// "*.int" as Qt's default suffix: "int".
QString defaultSuffixFrom(const QString& defaultExtension);

} // namespace quorrel
