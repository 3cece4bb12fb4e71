#pragma once

#include "cli/Settings.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>

#include <optional>

namespace quorrel::cli {

// One mode of quorrel-int: the options that choose and steer it, how it reads and checks them,
// and what it does.
struct Mode {
    // Its own options, as --help lists them. The first chooses the mode (the default mode has
    // none); the others need it.
    QList<QCommandLineOption> options;
    QString usage; // its line of the usage text; empty where the default mode's line covers it
    // Reads its options and its arguments into `settings` and checks them; the usage error.
    std::optional<QString> (*read)(const QCommandLineParser& parser, Settings& settings);
    int (*run)(const Settings& settings); // the exit status
    bool takesPackages = true; // false: its arguments are read by `read` alone, and may be none
};

// The default mode first, then the others in the order --help lists them.
const QList<Mode>& modes();

} // namespace quorrel::cli
