#pragma once

#include "cli/Settings.h"

#include <QString>

namespace quorrel::cli {

// How one package's run ended.
struct Outcome {
    QString failure;       // why it could not be done; empty when it was
    QString file;          // the file the failure concerns, when not the package
    bool problems = false; // --check: the menu will differ from the package

    static Outcome failed(const QString& why, const QString& file = QString()) {
        return {why, file, false};
    }
};

// Runs the settings' mode on one package. Every failure, running out of memory included, comes
// back in the outcome.
Outcome runMode(const QString& package, const Settings& settings);

} // namespace quorrel::cli
