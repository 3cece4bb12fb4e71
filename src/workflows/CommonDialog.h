#pragma once

#include "game/GameFolders.h"
#include "workflows/FileDialogSeam.h"

#include <QString>

namespace quorrel {

// The window's one file dialog component. Its settings persist from one use to the next, as the
// workflows rely on: once Save has set cancelError, a cancelled Open dialog fails too.
class CommonDialog {
public:
    explicit CommonDialog(FileDialogSeam& seam) : m_seam(seam) {}

    QString filter;
    QString initialDirectory = kTexturesFolder;
    QString fileName;
    QString fileTitle;
    QString defaultExtension;
    bool cancelError = false;

    // On a cancel: false when cancelError is set, otherwise fileName and fileTitle are emptied.
    [[nodiscard]] bool showOpen() { return show(FileDialogRequest::Mode::Open); }
    [[nodiscard]] bool showSave() { return show(FileDialogRequest::Mode::Save); }

private:
    bool show(FileDialogRequest::Mode mode);

    FileDialogSeam& m_seam;
};

} // namespace quorrel
