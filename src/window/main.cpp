#include "window/Form1.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>

#include <cstdio>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
#ifdef Q_OS_WIN
    // Wine's dialog font is "MS Shell Dlg", a name only its GDI resolves; Qt then draws a serif.
    QFont font = QApplication::font();
    font.setFamilies({font.family(), QStringLiteral("Tahoma")});
    QApplication::setFont(font);
#endif
    QApplication::setApplicationName(QStringLiteral("Quorrel File Generator"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.QuorrelFileGenerator"));

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption gameOption(
        QStringLiteral("game"),
        QStringLiteral("Look for player models in <folder> too: the game's System folder."),
        QStringLiteral("folder"));
    parser.addOption(gameOption);
    parser.addPositionalArgument(
        QStringLiteral("package"),
        QStringLiteral("The .utx package to open, as Find Files would, or a folder of pictures "
                       "to open as the package they make."),
        QStringLiteral("[PACKAGE.utx | FOLDER]"));
    parser.process(app);
    const QStringList packages = parser.positionalArguments();
    if (packages.size() > 1) {
        std::fprintf(stderr, "quorrel-file-generator: give one package at most\n%s",
                     qPrintable(parser.helpText()));
        return 2;
    }

    quorrel::Form1Options options;
    options.gameFolder = parser.value(gameOption);
    quorrel::Form1 form(options);
    form.show();
    // Once the window is up, so that a "No files Selected" box has a window to sit on.
    if (!packages.isEmpty())
        QTimer::singleShot(0, &form, [&form, path = packages.first()] { form.openPackage(path); });
    return QApplication::exec();
}
