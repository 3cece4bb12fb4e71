#include "workflows/Workflows.h"

#include "core/GeneratorState.h"
#include "core/IntText.h"
#include "core/NameFields.h"
#include "core/PackageScan.h"
#include "workflows/CommonDialog.h"
#include "workflows/MessageBoxSeam.h"

#include <exception>

namespace quorrel {
namespace {

// The Open steps up to the scan; false at the first one that fails.
bool openChosenPackage(GeneratorState& state, CommonDialog& dialog) {
    dialog.filter = QStringLiteral("UTX Format (*.utx)|*.utx|All Files (*.*)|*.*");
    dialog.initialDirectory = kTexturesFolder;
    dialog.fileName.clear();
    if (!dialog.showOpen())
        return false;
    const std::optional<QString> packageName = packageNameFromTitle(dialog.fileTitle);
    if (!packageName)
        return false;
    state.setPackageName(*packageName);
    try {
        ParseFile(state, dialog.fileName);
    } catch (const std::exception&) { // a failed scan, or no memory for a huge package
        return false;
    }
    state.setIntText(QString());
    return true;
}

bool saveChosenFile(const GeneratorState& state, CommonDialog& dialog, QString& savePath) {
    dialog.cancelError = true;
    dialog.initialDirectory = kSystemFolder;
    dialog.filter = QStringLiteral("INT Format|*.int");
    dialog.defaultExtension = QStringLiteral("*.int");
    dialog.fileName = state.packageName() + QStringLiteral(".int");
    if (!dialog.showSave())
        return false;
    savePath = dialog.fileName;
    return writeIntFile(savePath, state.intText());
}

} // namespace

void FindFiles(GeneratorState& state, CommonDialog& dialog, MessageBoxSeam& messageBox) {
    if (openChosenPackage(state, dialog))
        return;
    messageBox.show(QStringLiteral("No files Selected"), QStringLiteral("File Error"),
                    MessageBoxSeam::Buttons::OkCancel, MessageBoxSeam::Icon::None);
    state.setMakeIntEnabled(state.nameCount() > 0);
}

void SaveIntFile(GeneratorState& state, CommonDialog& dialog, MessageBoxSeam& messageBox,
                 QString& savePath) {
    if (saveChosenFile(state, dialog, savePath))
        return;
    messageBox.show(QStringLiteral("File Not Saved"), QStringLiteral("File Save Error"),
                    MessageBoxSeam::Buttons::Ok, MessageBoxSeam::Icon::Critical);
}

} // namespace quorrel
