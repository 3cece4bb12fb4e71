#pragma once

#include "workflows/FileDialogSeam.h"

#include <QString>

#include <stdexcept>

namespace quorrel {

// Thrown by CommonDialog when the user cancels and cancelError is set.
class DialogCancelled : public std::runtime_error {
public:
    DialogCancelled() : std::runtime_error("the file dialog was cancelled") {}
};

// The window's one file dialog component. Its settings persist from one use to the next, as the
// workflows rely on: once Save has set cancelError, a cancelled Open dialog raises too.
class CommonDialog {
public:
    explicit CommonDialog(FileDialogSeam& seam) : m_seam(seam) {}

    QString filter;
    QString initialDirectory = QStringLiteral("c:\\unrealtournament\\textures\\");
    QString fileName;
    QString fileTitle;
    QString defaultExtension;
    bool cancelError = false;

    // On a cancel: throws DialogCancelled when cancelError is set, otherwise empties fileName
    // and fileTitle.
    void showOpen() { show(FileDialogRequest::Mode::Open); }
    void showSave() { show(FileDialogRequest::Mode::Save); }

private:
    void show(FileDialogRequest::Mode mode);

    FileDialogSeam& m_seam;
};

} // namespace quorrel
