#include "workflows/CommonDialog.h"

namespace quorrel {

void CommonDialog::show(FileDialogRequest::Mode mode) {
    const std::optional<ChosenFile> chosen =
        m_seam.choose({mode, filter, initialDirectory, fileName, defaultExtension});
    if (!chosen) {
        if (cancelError)
            throw DialogCancelled();
        fileName.clear();
        fileTitle.clear();
        return;
    }
    fileName = chosen->path;
    fileTitle = chosen->title;
}

} // namespace quorrel
