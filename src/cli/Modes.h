#pragma once

#include "cli/Settings.h"

#include <QString>
#include <QStringList>

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

// Runs the settings' mode on one package. Every failure, running out of memory included, comes
// back in the outcome.
Outcome runMode(const QString& package, const Settings& settings);

} // namespace quorrel::cli
