#include "workflows/Workflows.h"

#include "base/Failure.h"
#include "base/Files.h"
#include "formats/IntFile.h"
#include "game/GameFolders.h"
#include "game/Release.h"
#include "rules/NameFields.h"
#include "workflows/CommonDialog.h"
#include "workflows/FileDialogSeam.h"
#include "workflows/GeneratorState.h"
#include "workflows/LiveFolder.h"
#include "workflows/MessageBoxSeam.h"

#include <QDir>
#include <QFileInfo>

#include <exception>
#include <functional>
#include <memory>

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

// Asks where `bytes()` go and writes them there; any failure, the one making the bytes first,
// shows why under `title`.
void saveChosen(FileDialogSeam& dialog, MessageBoxSeam& messageBox,
                const FileDialogRequest& request, const QString& title,
                const std::function<QByteArray()>& bytes) {
    try {
        const QByteArray made = bytes();
        if (const std::optional<ChosenFile> chosen = dialog.choose(request))
            writeWholeFile(chosen->path, made);
    } catch (const std::exception& failure) { // no memory for a huge package too
        messageBox.show(failureText(failure), title, MessageBoxSeam::Buttons::Ok,
                        MessageBoxSeam::Icon::Critical);
    }
}

} // namespace

void OpenPictureFolder(GeneratorState& state, LiveFolder& live, const QString& path,
                       MessageBoxSeam& messageBox) {
    const QString folder =
        QDir::toNativeSeparators(QFileInfo(QDir::cleanPath(path)).absoluteFilePath());
    try {
        auto opened = std::make_unique<PictureFolder>(folder);
        const QByteArray bytes = opened->package().bytes;
        const QString name = opened->package().name;
        live.open(std::move(opened));
        state.setPackageName(name);
        ParseBytes(state, bytes, folder);
    } catch (const std::exception& failure) { // no memory for the pictures too
        messageBox.show(folder + QStringLiteral(": ") + failureText(failure),
                        QStringLiteral("Folder Not Opened"), MessageBoxSeam::Buttons::Ok,
                        MessageBoxSeam::Icon::Critical);
        return;
    }
    state.setIntText(QString());
}

void SavePackage(const PictureFolder& folder, FileDialogSeam& dialog, MessageBoxSeam& messageBox) {
    const QString name = folder.package().name;
    saveChosen(dialog, messageBox,
               {FileDialogRequest::Mode::Save, QStringLiteral("UTX Format (*.utx)|*.utx"),
                kTexturesFolder, name + QStringLiteral(".utx"), QStringLiteral("*.utx")},
               QStringLiteral("Package Not Saved"), [&] { return folder.completeBytes(); });
}

void SaveRelease(const SkinPackage& package, const PictureFolder* folder, const QString& intText,
                 FileDialogSeam& dialog, MessageBoxSeam& messageBox) {
    saveChosen(dialog, messageBox,
               {FileDialogRequest::Mode::Save, QStringLiteral("Zip Archive (*.zip)|*.zip"),
                QString(), package.name + QStringLiteral(".zip"), QStringLiteral("*.zip")},
               QStringLiteral("Release Not Saved"), [&] {
                   if (folder) // refuses, naming them, while a picture is half saved
                       folder->completeBytes();
                   return releaseZip(package, intFileBytes(intText));
               });
}

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
