#pragma once

#include <QString>

#include <optional>

namespace quorrel {

// What the workflows ask of a file dialog, in the dialog component's own terms: the filter as
// "description|pattern|description|pattern", the initial directory as the game's Windows path,
// and the default extension as "*.ext". A Folder request chooses a folder and ignores the filter.
struct FileDialogRequest {
    enum class Mode { Open, Save, Folder };
    Mode mode = Mode::Open;
    QString filter;
    QString initialDirectory;
    QString fileName;
    QString defaultExtension;
};

struct ChosenFile {
    QString path;  // full path
    QString title; // file name without directory
};

// The seam between the workflows and a modal file dialog; tests pre-answer it.
class FileDialogSeam {
public:
    virtual ~FileDialogSeam() = default;
    // nullopt when the user cancels.
    virtual std::optional<ChosenFile> choose(const FileDialogRequest& request) = 0;
};

} // namespace quorrel
