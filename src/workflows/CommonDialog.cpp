#include "workflows/CommonDialog.h"

namespace quorrel {

bool CommonDialog::show(FileDialogRequest::Mode mode) {
    const std::optional<ChosenFile> chosen =
        m_seam.choose({mode, filter, initialDirectory, fileName, defaultExtension});
    if (!chosen) {
        if (cancelError)
            return false;
        fileName.clear();
        fileTitle.clear();
        return true;
    }
    fileName = chosen->path;
    fileTitle = chosen->title;
    return true;
}

} // namespace quorrel
