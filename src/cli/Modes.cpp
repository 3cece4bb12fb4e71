#include "cli/Modes.h"

#include "base/IgnoringCase.h"
#include "cli/GameRuns.h"
#include "cli/MakeRun.h"
#include "cli/PackageRuns.h"
#include "formats/IntFile.h"

#include <cmath>

namespace quorrel::cli {
namespace {

QCommandLineOption option(const char* name, const char* help, const char* value = nullptr) {
    return QCommandLineOption(QLatin1String(name), QLatin1String(help),
                              value ? QLatin1String(value) : QString());
}

std::optional<QString> readNothing(const QCommandLineParser&, Settings&) {
    return std::nullopt;
}

std::optional<QString> readComplete(const QCommandLineParser& parser, Settings& s) {
    for (const QString& skin : parser.values(QStringLiteral("skin"))) {
        const qsizetype equals = skin.indexOf(u'=');
        const QString group = caseKey(skin.left(equals));
        if (equals != 4 || skin.size() == 5 || s.skins.contains(group))
            return QStringLiteral("--skin takes GROUP=TEXT, four characters and a text, once a "
                                  "group: ") +
                   skin;
        s.skins.insert(group, skin.sliced(5));
    }
    if (!s.skins.isEmpty() && s.packages.size() > 1)
        return QStringLiteral("--skin takes a single package");
    if (s.mesh)
        return QStringLiteral("--complete takes no --mesh");
    QStringList texts = s.skins.values();
    if (s.description)
        texts << *s.description;
    // The menu skips an empty description, and the game's reading ends one at a quote.
    for (const QString& text : texts) {
        if (!readsBackWhole(text))
            return QStringLiteral("a description for --complete is empty or holds a quote or a "
                                  "line break: ") +
                   text;
    }
    return std::nullopt;
}

std::optional<QString> readCheck(const QCommandLineParser& parser, Settings& s) {
    if (s.packages.size() > 2 || parser.isSet(QStringLiteral("output")))
        return QStringLiteral("--check takes PACKAGE.utx and an optional FILE.int, and no "
                              "--output");
    s.intFile = s.packages.value(1);
    s.packages = s.packages.mid(0, 1);
    return std::nullopt;
}

std::optional<QString> readPictures(const QCommandLineParser& parser, Settings& s) {
    s.picturesFolder = parser.value(QStringLiteral("pictures"));
    if (s.mesh || s.description || parser.isSet(QStringLiteral("output")) ||
        s.picturesFolder.isEmpty())
        return QStringLiteral("--pictures takes a folder, and no --mesh, --description or "
                              "--output");
    return std::nullopt;
}

std::optional<QString> readRender(const QCommandLineParser& parser, Settings& s) {
    if (s.packages.size() > 1 || parser.isSet(QStringLiteral("output")) || s.description)
        return QStringLiteral("--render takes one package, and no --output or --description");
    auto& r = s.render;
    const auto value = [&](const char* name) { return parser.value(QLatin1String(name)); };
    r.file = value("render");
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
    return std::nullopt;
}

std::optional<QString> readRelease(const QCommandLineParser& parser, Settings& s) {
    s.releaseFile = parser.value(QStringLiteral("release"));
    if (s.packages.size() > 2 || s.releaseFile.isEmpty() || s.mesh ||
        parser.isSet(QStringLiteral("output")))
        return QStringLiteral("--release takes a zip, PACKAGE.utx and an optional FILE.int, and "
                              "no --mesh or --output");
    if (s.description && !readsBackWhole(*s.description))
        return QStringLiteral("a description for --release is empty or holds a quote or a line "
                              "break: ") +
               *s.description;
    s.intFile = s.packages.value(1);
    s.packages = s.packages.mid(0, 1);
    return std::nullopt;
}

std::optional<QString> readGame(const QCommandLineParser& parser, Settings& s) {
    s.galleryFile = parser.value(QStringLiteral("gallery"));
    if (s.packages.size() > 1 || s.mesh || s.description ||
        parser.isSet(QStringLiteral("output")) ||
        (parser.isSet(QStringLiteral("gallery")) && s.galleryFile.isEmpty()))
        return QStringLiteral("--check-game and --gallery FILE take one game folder at most, and "
                              "no --mesh, --description or --output");
    s.gameFolder = s.packages.value(0);
    s.packages.clear();
    return std::nullopt;
}

std::optional<QString> readMake(const QCommandLineParser& parser, Settings& s) {
    s.makeFile = parser.value(QStringLiteral("make"));
    s.masked = parser.isSet(QStringLiteral("masked"));
    if (s.makeFile.isEmpty() || s.mesh || s.description || parser.isSet(QStringLiteral("output")))
        return QStringLiteral("--make takes a package to write and pictures, and no --mesh, "
                              "--description or --output");
    return std::nullopt;
}

template <PackageRun run> int runEach(const Settings& settings) {
    return eachPackage(settings, run);
}

} // namespace

const QList<Mode>& modes() {
    static const QList<Mode> table{
        {{},
         QStringLiteral("quorrel-int [options] PACKAGE.utx..."),
         readNothing,
         runEach<writeWindowInt>},
        {{option("list", "Print the name list and the picture list instead.")},
         QString(),
         readNothing,
         runEach<listNames>},
        {{option("complete", "Write the .int the game's menu needs: every texture, each skin and "
                             "each face described; for a single-skin model (the Nali, the cow) "
                             "its skins alone, by their names."),
          option("skin",
                 "With --complete, describe the skin <group> (its four characters) by <text>; "
                 "repeatable (one package only).",
                 "group=text")},
         QString(),
         readComplete,
         runEach<writeCompleteInt>},
        {{option("check", "Tell what the game's menu will list from PACKAGE.utx and FILE.int (by "
                          "default the .int this tool writes), then each problem; exit 1 if any.")},
         QStringLiteral("quorrel-int --check PACKAGE.utx [FILE.int]"),
         readCheck,
         runEach<checkMenu>},
        {{option("pictures",
                 "Write each texture's picture as <folder>/PACKAGE/NAME.png instead; exit 1 if "
                 "one cannot be written. Textures the game draws at run time are named and "
                 "skipped.",
                 "folder")},
         QStringLiteral("quorrel-int --pictures FOLDER PACKAGE.utx..."),
         readPictures,
         runEach<writePictures>},
        {{option("render",
                 "Draw the skin on its player model, from the game's files, into <file> (a PNG); "
                 "one package only.",
                 "file"),
          option("game", "With --render, also look for the mesh in <folder>'s System folder.",
                 "folder"),
          option("skin-group", "With --render, the skin <group> to draw (default: the first).",
                 "group"),
          option("face", "With --render, the face to draw (default: the skin's first).", "name"),
          option("team", "With --render, the team colours: 0 red, 1 blue, 2 green, 3 gold.", "N"),
          option("yaw", "With --render, turn the model by <degrees> (0: facing the viewer).",
                 "degrees"),
          option("size", "With --render, the picture's width and height (16-4096, default 256).",
                 "pixels")},
         QStringLiteral("quorrel-int --render OUT.png [options] PACKAGE.utx"),
         readRender,
         runEach<renderModel>},
        {{option("release",
                 "Write <zip> for players: Textures/PACKAGE.utx, System/PACKAGE.int (FILE.int, or "
                 "else the .int --complete writes) and PACKAGE.txt, a readme; one package only.",
                 "zip")},
         QStringLiteral("quorrel-int --release OUT.zip PACKAGE.utx [FILE.int]"),
         readRelease,
         runEach<writeRelease>},
        {{option("make",
                 "Write <package>, a texture package the game loads, from the pictures given "
                 "(PNG, BMP, TGA or PCX; each a texture named after its file), instead.",
                 "package"),
          option("masked", "With --make, index 0 of every 8-bit picture is transparent.")},
         QStringLiteral("quorrel-int --make OUT.utx [--masked] PICTURE..."),
         readMake,
         makePackage},
        {{option("check-game",
                 "Tell what the player menu of a whole game will list for each model, then each "
                 "problem; exit 1 if any. The game folder (holding System and Textures) follows; "
                 "by default the one this machine holds.")},
         QStringLiteral("quorrel-int --check-game [GAME-FOLDER]"),
         readGame,
         checkGameFolder,
         false},
        {{option("gallery",
                 "The same as one page for a browser, <file> (HTML): each skin drawn on its model, "
                 "its faces' portraits, each problem under its package.",
                 "file")},
         QStringLiteral("quorrel-int --gallery OUT.html [GAME-FOLDER]"),
         readGame,
         writeGallery,
         false},
    };
    return table;
}

} // namespace quorrel::cli
