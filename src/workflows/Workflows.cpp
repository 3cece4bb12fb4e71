#include "workflows/Workflows.h"

#include "base/Files.h"
#include "formats/IntFile.h"
#include "game/GameFolders.h"
#include "rules/NameFields.h"
#include "workflows/CommonDialog.h"
#include "workflows/GeneratorState.h"
#include "workflows/MessageBoxSeam.h"

#include <QDir>
#include <QFileInfo>

#include <exception>

namespace quorrel {
namespace {

// The Open steps after the dialog: the package name from the file's title, the scan, the INT text
// cleared. Any failure (a failed scan, no memory for a huge package) comes out as false.
bool openChosenFile(GeneratorState& state, const QString& path, const QString& title) {
    try {
        state.setPackageName(packageNameFromTitle(title));
        ParseFile(state, path);
    } catch (const std::exception&) {
        return false;
    }
    state.setIntText(QString());
    return true;
}

bool chooseAndOpen(GeneratorState& state, CommonDialog& dialog) {
    dialog.filter = QStringLiteral("UTX Format (*.utx)|*.utx|All Files (*.*)|*.*");
    dialog.initialDirectory = kTexturesFolder;
    dialog.fileName.clear();
    return dialog.showOpen() && openChosenFile(state, dialog.fileName, dialog.fileTitle);
}

void openFailed(GeneratorState& state, MessageBoxSeam& messageBox) {
    messageBox.show(QStringLiteral("No files Selected"), QStringLiteral("File Error"),
                    MessageBoxSeam::Buttons::OkCancel, MessageBoxSeam::Icon::None);
    state.setMakeIntEnabled(state.nameCount() > 0);
}

bool chooseAndSave(const GeneratorState& state, CommonDialog& dialog, QString& savePath) {
    dialog.cancelError = true;
    dialog.initialDirectory = kSystemFolder;
    dialog.filter = QStringLiteral("INT Format|*.int");
    dialog.defaultExtension = QStringLiteral("*.int");
    dialog.fileName = state.packageName() + QStringLiteral(".int");
    if (!dialog.showSave())
        return false;
    savePath = dialog.fileName;
    try {
        writeWholeFile(savePath, intFileBytes(state.intText()));
    } catch (const std::exception&) { // not written, or no memory for the bytes of a huge text
        return false;
    }
    return true;
}

} // namespace

void FindFiles(GeneratorState& state, CommonDialog& dialog, MessageBoxSeam& messageBox) {
    if (!chooseAndOpen(state, dialog))
        openFailed(state, messageBox);
}

void OpenPackage(GeneratorState& state, const QString& path, MessageBoxSeam& messageBox) {
    const QFileInfo file(path);
    if (!openChosenFile(state, QDir::toNativeSeparators(file.absoluteFilePath()), file.fileName()))
        openFailed(state, messageBox);
}

void SaveIntFile(GeneratorState& state, CommonDialog& dialog, MessageBoxSeam& messageBox,
                 QString& savePath) {
    if (chooseAndSave(state, dialog, savePath))
        return;
    messageBox.show(QStringLiteral("File Not Saved"), QStringLiteral("File Save Error"),
                    MessageBoxSeam::Buttons::Ok, MessageBoxSeam::Icon::Critical);
}

} // namespace quorrel
