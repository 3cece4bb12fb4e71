// quorrel-int: writes the .int file of each texture package given on the command line, exactly
// as the window's Open, "Make INT" and Save would with the fields it derives from the file name.
// Its other modes (cli/Modes.cpp) tell what the game will make of a package and write what it
// needs.
#include "base/Failure.h"
#include "cli/Modes.h"
#include "cli/Output.h"
#include "cli/Settings.h"

#include <QCoreApplication>
#include <QTextStream>

#include <csignal>

int main(int argc, char* argv[]) {
    using namespace quorrel::cli;
#ifdef SIGPIPE
    // A reader that goes away is a failed write to report, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // Qt's own warnings (an image library's complaint about a picture, say) are not the tool's:
    // it says what failed in its own words.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            printError(text);
    });
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorrel-int"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORREL_VERSION));

    const CommandLine command = readCommandLine(QCoreApplication::arguments());
    if (command.action == CommandLine::Action::UsageError) {
        QTextStream(stderr) << "quorrel-int: " << command.text << '\n'
                            << usageText() << "Try 'quorrel-int --help' for more information.\n";
        return 2;
    }
    try {
        if (command.action == CommandLine::Action::Print) {
            writeOut(command.text.toUtf8());
            return 0;
        }
        return command.mode->run(command.settings);
    } catch (const std::exception& failure) { // what a whole run could not do
        printError(quorrel::failureText(failure));
        return 1;
    }
}
