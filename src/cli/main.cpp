// quorrel-int: writes the .int file of each texture package given on the command line, exactly
// as the window's Open, "Make INT" and Save would with the fields it derives from the file name.
#include "core/GeneratorState.h"
#include "core/IntText.h"
#include "core/NameFields.h"
#include "core/PackageScan.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>

namespace {

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

// Every byte meant for standard output goes through here, so a full device or a closed pipe
// is reported instead of passing for success.
bool writeOut(const QByteArray& bytes) {
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) ==
               size_t(bytes.size()) &&
           std::fflush(stdout) == 0;
}

const QString kStandardOutputFailed = QStringLiteral("could not write to standard output");

struct Settings {
    std::optional<QString> mesh;
    std::optional<QString> description;
    QString outputFolder; // empty: beside the package; "-": standard output
    bool list = false;
    bool headers = false; // name each package in --list output
};

// One package, start to end. Returns the reason it failed, or nothing.
std::optional<QString> process(const QString& path, const Settings& settings) {
    const std::optional<QString> packageName =
        quorrel::packageNameFromTitle(QFileInfo(path).fileName());
    if (!packageName)
        return QStringLiteral("the file name is shorter than four characters");
    quorrel::GeneratorState state;
    state.setPackageName(*packageName);
    if (settings.mesh)
        state.setMeshName(*settings.mesh);
    if (settings.description)
        state.setSkinDescription(*settings.description);
    try {
        quorrel::ParseFile(state, path);
    } catch (const quorrel::ScanFailure& failure) {
        return quorrel::ScanFailure::describe(failure.reason());
    } catch (const std::bad_alloc&) {
        return quorrel::ScanFailure::describe(quorrel::ScanFailure::Reason::TooLarge);
    }

    if (settings.list) {
        QString text;
        if (settings.headers)
            text += QStringLiteral("# ") + path + u'\n';
        text += QStringLiteral("[names]\n");
        for (const QString& name : state.names())
            text += name + u'\n';
        text += QStringLiteral("[pictures]\n");
        for (const QString& picture : state.pictures())
            text += picture + u'\n';
        if (!writeOut(text.toUtf8()))
            return kStandardOutputFailed;
        return std::nullopt;
    }

    quorrel::MakeInt(state);
    if (settings.outputFolder == QLatin1String("-")) {
        if (!writeOut(quorrel::intFileBytes(state.intText())))
            return kStandardOutputFailed;
        return std::nullopt;
    }
    const QDir folder(settings.outputFolder.isEmpty() ? QFileInfo(path).absolutePath()
                                                      : settings.outputFolder);
    const QString target = folder.filePath(state.packageName() + QStringLiteral(".int"));
    if (!quorrel::writeIntFile(target, state.intText()))
        return QStringLiteral("could not write ") + QDir::toNativeSeparators(target);
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[]) {
#ifdef SIGPIPE
    // A reader that goes away is a failed write to report, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quorrel-int"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUORREL_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes the .int localisation file of Unreal Tournament skin packages."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption outputOption(
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Write NAME.int into <folder> instead of beside the package; - writes the "
                       "text to standard output."),
        QStringLiteral("folder"));
    const QCommandLineOption meshOption(
        QStringLiteral("mesh"), QStringLiteral("Use <text> as the mesh name (one package only)."),
        QStringLiteral("text"));
    const QCommandLineOption descriptionOption(
        QStringLiteral("description"),
        QStringLiteral("Use <text> as the skin description (one package only)."),
        QStringLiteral("text"));
    const QCommandLineOption listOption(
        QStringLiteral("list"),
        QStringLiteral("Print the name list and the picture list instead."));
    parser.addOptions({outputOption, meshOption, descriptionOption, listOption});
    parser.addPositionalArgument(QStringLiteral("packages"), QStringLiteral("The .utx packages."),
                                 QStringLiteral("PACKAGE.utx..."));

    const QString usage = QStringLiteral("Usage: quorrel-int [options] PACKAGE.utx...");
    auto usageError = [&](const QString& message) {
        err() << "quorrel-int: " << message << '\n'
              << usage << '\n'
              << "Try 'quorrel-int --help' for more information.\n";
        err().flush();
        return 2;
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    auto print = [](const QString& text) {
        if (writeOut(text.toUtf8()))
            return 0;
        err() << "quorrel-int: " << kStandardOutputFailed << '\n';
        err().flush();
        return 1;
    };
    if (parser.isSet(QStringLiteral("help")))
        return print(parser.helpText());
    if (parser.isSet(QStringLiteral("version")))
        return print(QStringLiteral("quorrel-int " QUORREL_VERSION "\n"));

    const QStringList packages = parser.positionalArguments();
    if (packages.isEmpty())
        return usageError(QStringLiteral("no package given"));
    Settings settings;
    if (parser.isSet(meshOption))
        settings.mesh = parser.value(meshOption);
    if (parser.isSet(descriptionOption))
        settings.description = parser.value(descriptionOption);
    if ((settings.mesh || settings.description) && packages.size() > 1)
        return usageError(QStringLiteral("--mesh and --description take a single package"));
    settings.outputFolder = parser.value(outputOption);
    settings.list = parser.isSet(listOption);
    settings.headers = packages.size() > 1;

    int status = 0;
    for (const QString& package : packages) {
        if (const std::optional<QString> failure = process(package, settings)) {
            err() << "quorrel-int: " << package << ": " << *failure << '\n';
            err().flush();
            status = 1;
        }
    }
    return status;
}
