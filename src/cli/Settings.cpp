#include "cli/Settings.h"

#include "cli/Modes.h"

#include <QCommandLineParser>

namespace quorrel::cli {
namespace {

CommandLine usageError(const QString& message) {
    return {CommandLine::Action::UsageError, nullptr, {}, message};
}

QString optionName(const QCommandLineOption& option) {
    return QStringLiteral("--") + option.names().first();
}

} // namespace

QString usageText() {
    QString text;
    for (const Mode& mode : modes()) {
        if (!mode.usage.isEmpty())
            text += (text.isEmpty() ? QStringLiteral("Usage: ") : QStringLiteral("       ")) +
                    mode.usage + u'\n';
    }
    return text;
}

CommandLine readCommandLine(const QStringList& arguments) {
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
    parser.addOptions({outputOption, meshOption, descriptionOption});
    for (const Mode& mode : modes())
        parser.addOptions(mode.options);
    parser.addPositionalArgument(
        QStringLiteral("packages"),
        QStringLiteral("The .utx packages; for --check-game and --gallery, the game folder."),
        QStringLiteral("PACKAGE.utx..."));

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    // Qt's parser lists --help-all beside --help; this tool has no other options to show.
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return {CommandLine::Action::Print, nullptr, {}, parser.helpText()};
    if (parser.isSet(QStringLiteral("version")))
        return {CommandLine::Action::Print,
                nullptr,
                {},
                QStringLiteral("quorrel-int ") + QStringLiteral(QUORREL_VERSION) + u'\n'};

    Settings s;
    s.packages = parser.positionalArguments();
    if (parser.isSet(meshOption))
        s.mesh = parser.value(meshOption);
    if (parser.isSet(descriptionOption))
        s.description = parser.value(descriptionOption);
    if ((s.mesh || s.description) && s.packages.size() > 1)
        return usageError(QStringLiteral("--mesh and --description take a single package"));
    s.outputFolder = parser.value(outputOption);
    s.namePackages = s.packages.size() > 1;

    const Mode* chosen = &modes().first();
    QStringList choices, chosenOnes;
    for (const Mode& mode : modes()) {
        if (mode.options.isEmpty())
            continue;
        choices << optionName(mode.options.first());
        if (parser.isSet(mode.options.first())) {
            chosen = &mode;
            chosenOnes << choices.last();
        }
    }
    if (chosenOnes.size() > 1) {
        const QString last = choices.takeLast();
        return usageError(QStringLiteral("%1 and %2 exclude each other")
                              .arg(choices.join(QStringLiteral(", ")), last));
    }
    for (const Mode& mode : modes()) {
        for (qsizetype i = 1; &mode != chosen && i < mode.options.size(); ++i) {
            if (parser.isSet(mode.options[i]))
                return usageError(
                    QStringLiteral("%1 needs %2")
                        .arg(optionName(mode.options[i]), optionName(mode.options.first())));
        }
    }
    if (chosen->takesPackages && s.packages.isEmpty())
        return usageError(QStringLiteral("no package given"));
    if (const std::optional<QString> error = chosen->read(parser, s))
        return usageError(*error);
    return {CommandLine::Action::Run, chosen, s, QString()};
}

} // namespace quorrel::cli
