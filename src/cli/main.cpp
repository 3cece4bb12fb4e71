// quorrel-int: writes the .int file of each texture package given on the command line, exactly
// as the window's Open, "Make INT" and Save would with the fields it derives from the file name.
// --complete writes the .int the game's menu needs instead; --check tells what the menu will list;
// --pictures writes the textures as PNG files; --render draws the skin on its player model.
#include "base/Failure.h"
#include "cli/Modes.h"
#include "cli/Output.h"
#include "cli/Settings.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

int main(int argc, char* argv[]) {
    using namespace quorrel::cli;
#ifdef SIGPIPE
    // A reader that goes away is a failed write to report, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorrel-int"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORREL_VERSION));

    const CommandLine command = readCommandLine(QCoreApplication::arguments());
    if (command.action == CommandLine::Action::UsageError) {
        QTextStream(stderr) << "quorrel-int: " << command.text << '\n'
                            << "Usage: quorrel-int [options] PACKAGE.utx...\n"
                            << "       quorrel-int --check PACKAGE.utx [FILE.int]\n"
                            << "       quorrel-int --pictures FOLDER PACKAGE.utx...\n"
                            << "       quorrel-int --render OUT.png [options] PACKAGE.utx\n"
                            << "Try 'quorrel-int --help' for more information.\n";
        return 2;
    }
    if (command.action == CommandLine::Action::Print) {
        try {
            writeOut(command.text.toUtf8());
        } catch (const quorrel::Failure& failure) {
            printError(failure.text());
            return 1;
        }
        return 0;
    }

    const Settings& settings = command.settings;
#ifdef Q_OS_WIN
    // In text mode the C runtime would write each CR LF of the file as CR CR LF.
    if (settings.outputFolder == QLatin1String("-") && settings.mode != Settings::Mode::List)
        _setmode(_fileno(stdout), _O_BINARY);
#endif
    int status = 0;
    for (const QString& package : settings.packages) {
        const Outcome outcome = runMode(package, settings);
        for (const QString& note : outcome.notes)
            printError(package + QStringLiteral(": ") + note);
        if (!outcome.failure.isEmpty())
            printError((outcome.file.isEmpty() ? package : outcome.file) + QStringLiteral(": ") +
                       outcome.failure);
        if (!outcome.failure.isEmpty() || outcome.problems)
            status = 1;
    }
    return status;
}
