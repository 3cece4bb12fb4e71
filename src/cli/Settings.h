#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <optional>

namespace quorrel::cli {

struct Mode;

// What one run of quorrel-int does, checked against the rules of the command line.
struct Settings {
    QStringList packages;
    QString intFile; // --check's FILE.int; empty: the .int this tool writes
    std::optional<QString> mesh;
    std::optional<QString> description;
    QString outputFolder;          // empty: beside the package; "-": standard output
    QString picturesFolder;        // --pictures: the folder that gets a folder per package
    QString releaseFile;           // --release: the zip
    QString makeFile;              // --make: the package to write from the pictures in `packages`
    bool masked = false;           // --make: index 0 of every 8-bit picture is transparent
    QHash<QString, QString> skins; // --skin, keyed by caseKey() of the group
    bool namePackages = false;     // several packages: --list names each
    QString gameFolder;            // --check-game, --gallery: empty: the one this machine holds
    QString galleryFile;           // --gallery: the page
    struct {
        QString file;   // the PNG
        QString game;   // a game folder to look in for the mesh; empty: none given
        QString skin;   // the skin group; empty: the first
        QString face;   // empty: the skin's first face
        int team = -1;  // 0-3; -1: none
        double yaw = 0; // degrees; 0: facing the viewer
        int size = 256; // pixels, square
    } render;
};

// The command line, read: the mode and its settings to run with, a text to print (--help,
// --version), or the usage error that stops it.
struct CommandLine {
    enum class Action { Run, Print, UsageError };
    Action action = Action::Run;
    const Mode* mode = nullptr;
    Settings settings;
    QString text; // what to print, or the usage error
};

CommandLine readCommandLine(const QStringList& arguments);

// "Usage:" and each mode's usage line.
QString usageText();

} // namespace quorrel::cli
