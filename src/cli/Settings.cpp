#include "cli/Settings.h"

#include "base/IgnoringCase.h"
#include "formats/IntFile.h"

#include <QCommandLineParser>

#include <cmath>

namespace quorrel::cli {
namespace {

CommandLine usageError(const QString& message) {
    return {CommandLine::Action::UsageError, {}, message};
}

// The --render options, checked; the usage error, or empty.
QString readRender(const QCommandLineParser& parser, const QCommandLineOption& renderOption,
                   const QList<QCommandLineOption>& options, Settings& s) {
    if (!parser.isSet(renderOption)) {
        for (const QCommandLineOption& option : options) {
            if (parser.isSet(option))
                return QStringLiteral("--%1 needs --render").arg(option.names().first());
        }
        return QString();
    }
    if (s.packages.size() > 1 || parser.isSet(QStringLiteral("output")) ||
        parser.isSet(QStringLiteral("description")))
        return QStringLiteral("--render takes one package, and no --output or --description");
    auto& r = s.render;
    const auto value = [&](const char* name) { return parser.value(QLatin1String(name)); };
    r.file = parser.value(renderOption);
    r.game = value("game");
    r.skin = value("skin-group");
    r.face = value("face");
    // A whole number within [low, high], when the option is given.
    const auto whole = [&](const char* name, int low, int high, int& out) {
        if (!parser.isSet(QLatin1String(name)))
            return true;
        bool ok = false;
        out = value(name).toInt(&ok);
        return ok && out >= low && out <= high;
    };
    if (!whole("team", 0, 3, r.team))
        return QStringLiteral("--team takes 0 (red), 1 (blue), 2 (green) or 3 (gold)");
    if (!whole("size", 16, 4096, r.size))
        return QStringLiteral("--size takes a number of pixels from 16 to 4096");
    bool ok = true;
    if (parser.isSet(QStringLiteral("yaw")))
        r.yaw = value("yaw").toDouble(&ok);
    if (!ok || !std::isfinite(r.yaw))
        return QStringLiteral("--yaw takes a number of degrees");
    return QString();
}

} // namespace

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
    const QCommandLineOption picturesOption(
        QStringLiteral("pictures"),
        QStringLiteral("Write each texture's picture as <folder>/PACKAGE/NAME.png instead; exit 1 "
                       "if one cannot be written. Textures the game draws at run time are named "
                       "and skipped."),
        QStringLiteral("folder"));
    const QCommandLineOption renderOption(
        QStringLiteral("render"),
        QStringLiteral("Draw the skin on its player model, from the game's files, into <file> (a "
                       "PNG); one package only."),
        QStringLiteral("file"));
    const QList<QCommandLineOption> renderOptions{
        {QStringLiteral("game"),
         QStringLiteral("With --render, also look for the mesh in <folder>'s System folder."),
         QStringLiteral("folder")},
        {QStringLiteral("skin-group"),
         QStringLiteral("With --render, the skin <group> to draw (default: the first)."),
         QStringLiteral("group")},
        {QStringLiteral("face"),
         QStringLiteral("With --render, the face to draw (default: the skin's first)."),
         QStringLiteral("name")},
        {QStringLiteral("team"),
         QStringLiteral("With --render, the team colours: 0 red, 1 blue, 2 green, 3 gold."),
         QStringLiteral("N")},
        {QStringLiteral("yaw"),
         QStringLiteral("With --render, turn the model by <degrees> (0: facing the viewer)."),
         QStringLiteral("degrees")},
        {QStringLiteral("size"),
         QStringLiteral("With --render, the picture's width and height (16-4096, default 256)."),
         QStringLiteral("pixels")}};
    parser.addOptions({outputOption, meshOption, descriptionOption, listOption, completeOption,
                       skinOption, checkOption, picturesOption, renderOption});
    parser.addOptions(renderOptions);
    parser.addPositionalArgument(QStringLiteral("packages"), QStringLiteral("The .utx packages."),
                                 QStringLiteral("PACKAGE.utx..."));

    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    // Qt's parser lists --help-all beside --help; this tool has no other options to show.
    if (parser.isSet(QStringLiteral("help")) || parser.isSet(QStringLiteral("help-all")))
        return {CommandLine::Action::Print, {}, parser.helpText()};
    if (parser.isSet(QStringLiteral("version")))
        return {CommandLine::Action::Print,
                {},
                QStringLiteral("quorrel-int ") + QStringLiteral(QUORREL_VERSION) + u'\n'};

    Settings s;
    s.packages = parser.positionalArguments();
    if (s.packages.isEmpty())
        return usageError(QStringLiteral("no package given"));
    if (parser.isSet(meshOption))
        s.mesh = parser.value(meshOption);
    if (parser.isSet(descriptionOption))
        s.description = parser.value(descriptionOption);
    if ((s.mesh || s.description) && s.packages.size() > 1)
        return usageError(QStringLiteral("--mesh and --description take a single package"));
    s.outputFolder = parser.value(outputOption);
    s.namePackages = s.packages.size() > 1;
    const bool list = parser.isSet(listOption), complete = parser.isSet(completeOption),
               check = parser.isSet(checkOption), pictures = parser.isSet(picturesOption),
               render = parser.isSet(renderOption);
    if (int(complete) + int(check) + int(list) + int(pictures) + int(render) > 1)
        return usageError(QStringLiteral(
            "--complete, --check, --list, --pictures and --render exclude each other"));
    s.mode = list       ? Settings::Mode::List
             : complete ? Settings::Mode::Complete
             : check    ? Settings::Mode::Check
             : pictures ? Settings::Mode::Pictures
             : render   ? Settings::Mode::Render
                        : Settings::Mode::WindowInt;
    if (const QString error = readRender(parser, renderOption, renderOptions, s); !error.isEmpty())
        return usageError(error);
    for (const QString& skin : parser.values(skinOption)) {
        const qsizetype equals = skin.indexOf(u'=');
        const QString group = caseKey(skin.left(equals));
        if (!complete)
            return usageError(QStringLiteral("--skin needs --complete"));
        if (equals != 4 || skin.size() == 5 || s.skins.contains(group))
            return usageError(QStringLiteral("--skin takes GROUP=TEXT, four characters and a "
                                             "text, once a group: ") +
                              skin);
        s.skins.insert(group, skin.sliced(5));
    }
    if (!s.skins.isEmpty() && s.packages.size() > 1)
        return usageError(QStringLiteral("--skin takes a single package"));
    if (complete) {
        if (s.mesh)
            return usageError(QStringLiteral("--complete takes no --mesh"));
        QStringList texts = s.skins.values();
        if (s.description)
            texts << *s.description;
        // The menu skips an empty description, and the game's reading ends one at a quote.
        for (const QString& text : texts) {
            if (!readsBackWhole(text))
                return usageError(QStringLiteral("a description for --complete is empty or holds "
                                                 "a quote or a line break: ") +
                                  text);
        }
    }
    if (pictures) {
        s.picturesFolder = parser.value(picturesOption);
        if (s.mesh || s.description || parser.isSet(outputOption) || s.picturesFolder.isEmpty())
            return usageError(QStringLiteral("--pictures takes a folder, and no --mesh, "
                                             "--description or --output"));
    }
    if (check) {
        if (s.packages.size() > 2 || parser.isSet(outputOption))
            return usageError(QStringLiteral("--check takes PACKAGE.utx and an optional "
                                             "FILE.int, and no --output"));
        s.intFile = s.packages.value(1);
        s.packages = s.packages.mid(0, 1);
    }
    return {CommandLine::Action::Run, s, QString()};
}

} // namespace quorrel::cli
