// quorrel-int: writes the .int file of each texture package given on the command line, exactly
// as the window's Open, "Make INT" and Save would with the fields it derives from the file name.
// --complete writes the .int the game's menu needs instead; --check tells what the menu will list.
#include "core/GeneratorState.h"
#include "core/IntText.h"
#include "core/NameFields.h"
#include "core/PackageScan.h"
#include "core/SkinMenu.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <exception>
#include <optional>
#include <utility>
#include <variant>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#endif

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
const QString kShortName = QStringLiteral("the file name is shorter than four characters");

struct Settings {
    std::optional<QString> mesh;
    std::optional<QString> description;
    QString outputFolder; // empty: beside the package; "-": standard output
    bool list = false;
    bool headers = false; // name each package in --list output
    bool complete = false;
    QHash<QString, QString> skins; // --skin, keyed by the group in lower case
};

// Writes the bytes of an .int file where the default mode would write the package's .int.
std::optional<QString> deliver(const QString& path, const QString& packageName,
                               const QByteArray& bytes, const Settings& settings) {
    if (settings.outputFolder == QLatin1String("-")) {
        if (!writeOut(bytes))
            return kStandardOutputFailed;
        return std::nullopt;
    }
    const QDir folder(settings.outputFolder.isEmpty() ? QFileInfo(path).absolutePath()
                                                      : settings.outputFolder);
    const QString target = folder.filePath(packageName + QStringLiteral(".int"));
    if (!quorrel::writeWholeFile(target, bytes))
        return QStringLiteral("could not write ") + QDir::toNativeSeparators(target);
    return std::nullopt;
}

// The bytes the window saves after "Make INT", without the text in between.
QByteArray windowIntBytes(const quorrel::GeneratorState& state) {
    return quorrel::intFileBytes(state.packageName(), state.skinDescription(), state.pictures());
}

// The names the window would hold: derived from the package name, then the user's overrides.
void setNames(quorrel::GeneratorState& state, const QString& packageName,
              const Settings& settings) {
    state.setPackageName(packageName);
    if (settings.mesh)
        state.setMeshName(*settings.mesh);
    if (settings.description)
        state.setSkinDescription(*settings.description);
}

// One package, start to end. Returns the reason it failed, or nothing.
std::optional<QString> process(const QString& path, const Settings& settings) {
    const std::optional<QString> packageName =
        quorrel::packageNameFromTitle(QFileInfo(path).fileName());
    if (!packageName)
        return kShortName;
    quorrel::GeneratorState state;
    setNames(state, *packageName, settings);
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

    return deliver(path, state.packageName(), windowIntBytes(state), settings);
}

// The package's tables, or why they cannot be read.
std::variant<quorrel::PackageTables, QString> readTables(const QString& path, QByteArray* bytes) {
    try {
        *bytes = quorrel::readPackage(path);
    } catch (const quorrel::ScanFailure& failure) {
        return quorrel::ScanFailure::describe(failure.reason());
    }
    quorrel::PackageRead read = quorrel::readPackageTables(*bytes);
    if (!read.ok())
        return read.failure;
    return std::move(*read.tables);
}

std::optional<QString> complete(const QString& path, const Settings& settings) {
    const std::optional<QString> name = quorrel::packageNameFromTitle(QFileInfo(path).fileName());
    if (!name)
        return kShortName;
    const QString& packageName = *name;
    QByteArray bytes;
    auto tables = readTables(path, &bytes);
    if (const QString* failure = std::get_if<QString>(&tables))
        return *failure;
    const QStringList textures = quorrel::textureNames(std::get<quorrel::PackageTables>(tables));
    if (textures.isEmpty())
        return QStringLiteral("the package holds no textures");
    const QList<quorrel::SkinGroup> groups = quorrel::skinGroups(textures);
    for (auto it = settings.skins.cbegin(); it != settings.skins.cend(); ++it) {
        if (std::none_of(groups.begin(), groups.end(), [&](const quorrel::SkinGroup& group) {
                return group.name.toLower() == it.key();
            }))
            return QStringLiteral("--skin %1: the package holds no skin %1").arg(it.key());
    }
    const QString text = quorrel::buildIntText(
        packageName, quorrel::completeObjects(textures, settings.description.value_or(packageName),
                                              settings.skins));
    return deliver(path, packageName, quorrel::intFileBytes(text), settings);
}

// Prints what the menu will list and one line per problem. Returns whether there was one, or
// why the check could not be made (with the file concerned).
std::variant<bool, std::pair<QString, QString>> check(const QString& path, const QString& intPath,
                                                      const Settings& settings) {
    const QString title = QFileInfo(path).fileName();
    const std::optional<QString> name = quorrel::packageNameFromTitle(title);
    if (!name)
        return std::pair(path, kShortName);
    const QString& packageName = *name;
    QByteArray bytes;
    auto tables = readTables(path, &bytes);
    if (const QString* failure = std::get_if<QString>(&tables))
        return std::pair(path, *failure);
    const quorrel::PackageTables& package = std::get<quorrel::PackageTables>(tables);

    QStringList problems;
    QString text;
    if (!intPath.isEmpty()) {
        try {
            text = quorrel::decodeIntFile(quorrel::readPackage(intPath));
        } catch (const quorrel::ScanFailure& failure) {
            if (failure.reason() != quorrel::ScanFailure::Reason::Empty)
                return std::pair(intPath, quorrel::ScanFailure::describe(failure.reason()));
        }
    } else {
        quorrel::GeneratorState state;
        setNames(state, packageName, settings);
        try {
            quorrel::scanPackageBytes(state, bytes, path); // the bytes the tables came from
            text = quorrel::decodeIntFile(windowIntBytes(state));
        } catch (const quorrel::ScanFailure& failure) {
            problems << title + QStringLiteral(": the default mode writes no .int: ") +
                            quorrel::ScanFailure::describe(failure.reason());
        }
    }

    const QList<quorrel::IntEntry> entries = quorrel::readIntEntries(text);
    const QList<quorrel::MenuSkin> skins = quorrel::menuSkins(entries);
    QString report = skins.isEmpty() ? QStringLiteral("the menu lists no skin\n") : QString();
    for (const quorrel::MenuSkin& skin : skins) {
        report += QStringLiteral("skin %1 \"%2\"\n").arg(skin.texture, skin.description);
        for (const quorrel::MenuFace& face : skin.faces)
            report += QStringLiteral("  face %1 \"%2\"\n").arg(face.texture, face.description);
    }
    // The walk only matters to the .int the window would write; a given file names its own.
    const QString walk = intPath.isEmpty()
                             ? quorrel::walkDifference(quorrel::walkNames(bytes), package.names)
                             : QString();
    if (!walk.isEmpty())
        problems << QStringLiteral("%1: version %2: %3")
                        .arg(title, QString::number(package.version), walk);
    problems += quorrel::menuProblems(quorrel::textureNames(package), entries, packageName);
    for (const QString& problem : problems)
        report += problem + u'\n';
    if (problems.isEmpty())
        report += QStringLiteral("no problems\n");
    if (!writeOut(report.toUtf8()))
        return std::pair(path, kStandardOutputFailed);
    return !problems.isEmpty();
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
    const QCommandLineOption completeOption(
        QStringLiteral("complete"),
        QStringLiteral("Write the .int the game's menu needs: every texture, each skin and each "
                       "face described."));
    const QCommandLineOption skinOption(
        QStringLiteral("skin"),
        QStringLiteral("With --complete, describe the skin <group> (its four characters) by "
                       "<text>; repeatable (one package only)."),
        QStringLiteral("group=text"));
    const QCommandLineOption checkOption(
        QStringLiteral("check"),
        QStringLiteral("Tell what the game's menu will list from PACKAGE.utx and FILE.int (by "
                       "default the .int this tool writes), then each problem; exit 1 if any."));
    parser.addOptions({outputOption, meshOption, descriptionOption, listOption, completeOption,
                       skinOption, checkOption});
    parser.addPositionalArgument(QStringLiteral("packages"), QStringLiteral("The .utx packages."),
                                 QStringLiteral("PACKAGE.utx..."));

    const QString usage = QStringLiteral("Usage: quorrel-int [options] PACKAGE.utx...\n"
                                         "       quorrel-int --check PACKAGE.utx [FILE.int]");
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
    // Qt's parser lists --help-all beside --help; this tool has no other options to show.
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
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
    settings.complete = parser.isSet(completeOption);
    const bool checking = parser.isSet(checkOption);
    if (int(settings.complete) + int(checking) + int(settings.list) > 1)
        return usageError(QStringLiteral("--complete, --check and --list exclude each other"));
    for (const QString& skin : parser.values(skinOption)) {
        const qsizetype equals = skin.indexOf(u'=');
        const QString group = skin.left(equals).toLower();
        if (!settings.complete)
            return usageError(QStringLiteral("--skin needs --complete"));
        if (equals != 4 || skin.size() == 5 || settings.skins.contains(group))
            return usageError(QStringLiteral("--skin takes GROUP=TEXT, four characters and a "
                                             "text, once a group: ") +
                              skin);
        settings.skins.insert(group, skin.sliced(5));
    }
    if (!settings.skins.isEmpty() && packages.size() > 1)
        return usageError(QStringLiteral("--skin takes a single package"));
    if (settings.complete) {
        if (settings.mesh)
            return usageError(QStringLiteral("--complete takes no --mesh"));
        QStringList texts = settings.skins.values();
        if (settings.description)
            texts << *settings.description;
        // The menu skips an empty description, and the game's reading ends one at a quote.
        for (const QString& text : texts) {
            if (text.isEmpty() || text.contains(u'"') || text.contains(u'\r') ||
                text.contains(u'\n'))
                return usageError(QStringLiteral("a description for --complete is empty or holds "
                                                 "a quote or a line break: ") +
                                  text);
        }
    }
    if (checking) {
        if (packages.size() > 2 || parser.isSet(outputOption))
            return usageError(QStringLiteral("--check takes PACKAGE.utx and an optional "
                                             "FILE.int, and no --output"));
        const auto result = check(packages.first(), packages.value(1), settings);
        if (const auto* failure = std::get_if<std::pair<QString, QString>>(&result)) {
            err() << "quorrel-int: " << failure->first << ": " << failure->second << '\n';
            err().flush();
            return 1;
        }
        return std::get<bool>(result) ? 1 : 0;
    }
#ifdef Q_OS_WIN
    // In text mode the C runtime would write each CR LF of the file as CR CR LF.
    if (settings.outputFolder == QLatin1String("-") && !settings.list)
        _setmode(_fileno(stdout), _O_BINARY);
#endif

    int status = 0;
    for (const QString& package : packages) {
        if (const std::optional<QString> failure =
                settings.complete ? complete(package, settings) : process(package, settings)) {
            err() << "quorrel-int: " << package << ": " << *failure << '\n';
            err().flush();
            status = 1;
        }
    }
    return status;
}
