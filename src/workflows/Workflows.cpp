#include "workflows/Workflows.h"

#include "core/GeneratorState.h"
#include "core/IntText.h"
#include "core/PackageScan.h"
#include "workflows/CommonDialog.h"
#include "workflows/MessageBoxSeam.h"

#include <exception>

namespace quorrel {
namespace {

class TitleTooShort : public std::runtime_error {
public:
    TitleTooShort()
        : std::runtime_error("the chosen file's name is shorter than four characters") {}
};

class WriteFailed : public std::runtime_error {
public:
    WriteFailed() : std::runtime_error("the file could not be written") {}
};

} // namespace

void FindFiles(GeneratorState& state, CommonDialog& dialog, MessageBoxSeam& messageBox) {
    // Every failure on the way, an allocation failure on a huge package included, ends here.
    try {
        dialog.filter = QStringLiteral("UTX Format (*.utx)|*.utx|All Files (*.*)|*.*");
        dialog.initialDirectory = QStringLiteral("c:\\unrealtournament\\textures\\");
        dialog.fileName.clear();
        dialog.showOpen();
        if (dialog.fileTitle.size() < 4)
            throw TitleTooShort();
        state.setPackageName(dialog.fileTitle.chopped(4));
        ParseFile(state, dialog.fileName);
        state.setIntText(QString());
    } catch (const std::exception&) {
        messageBox.show(QStringLiteral("No files Selected"), QStringLiteral("File Error"),
                        MessageBoxSeam::Buttons::OkCancel, MessageBoxSeam::Icon::None);
        state.setMakeIntEnabled(state.nameCount() > 0);
    }
}

void SaveIntFile(GeneratorState& state, CommonDialog& dialog, MessageBoxSeam& messageBox,
                 QString& savePath) {
    try {
        dialog.cancelError = true;
        dialog.initialDirectory = QStringLiteral("c:\\unrealtournament\\system\\");
        dialog.filter = QStringLiteral("INT Format|*.int");
        dialog.defaultExtension = QStringLiteral("*.int");
        dialog.fileName = state.packageName() + QStringLiteral(".int");
        dialog.showSave();
        savePath = dialog.fileName;
        if (!writeIntFile(savePath, state.intText()))
            throw WriteFailed();
    } catch (const std::exception&) {
        messageBox.show(QStringLiteral("File Not Saved"), QStringLiteral("File Save Error"),
                        MessageBoxSeam::Buttons::Ok, MessageBoxSeam::Icon::Critical);
    }
}

} // namespace quorrel
