#pragma once

#include "cli/Settings.h"

#include <QString>
#include <QStringList>

// The modes that take packages one by one: what each does with one package.
namespace quorrel::cli {

// How one package's run ended.
struct Outcome {
    QString failure;       // why it could not be done; empty when it was
    QString file;          // the file the failure concerns, when not the package
    bool problems = false; // --check: the menu will differ; --pictures: a picture not written
    QStringList notes{};   // --pictures: one line for each texture not written, and why

    static Outcome failed(const QString& why, const QString& file = QString()) {
        return {why, file, false};
    }
};

using PackageRun = Outcome (*)(const QString& package, const Settings& settings);

// Runs `run` on each package in turn, a failure of one never stopping the others; prints each
// note and failure. The exit status: 1 when any package failed or had problems, else 0.
int eachPackage(const Settings& settings, PackageRun run);

Outcome writeWindowInt(const QString& package, const Settings& settings);
Outcome listNames(const QString& package, const Settings& settings);
Outcome writeCompleteInt(const QString& package, const Settings& settings);
Outcome checkMenu(const QString& package, const Settings& settings);
Outcome renderModel(const QString& package, const Settings& settings);
Outcome writePictures(const QString& package, const Settings& settings);
Outcome writeRelease(const QString& package, const Settings& settings);

} // namespace quorrel::cli
