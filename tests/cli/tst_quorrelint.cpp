#include "PackageBuilder.h"
#include "TestFiles.h"

#include <QImage>
#include <QtGui/private/qzipreader_p.h>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

using namespace testpkg;

class TestQuorrelInt : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void badPackages();
    void list();
    void failedWrites_data();
    void failedWrites();
    void menu_data();
    void menu();
    void pictures();
    void render_data();
    void render();
    void game();
    void release();
    void make();
    void usage();
};

// Catches a bad package that stops the others, writes a partial .int or fails without a word.
void TestQuorrelInt::badPackages() {
    QTemporaryDir dir;
    const QString good = writeFile(dir, QStringLiteral("Good_Skin.utx"), package({"good", "p"}));
    const QString cut = writeFile(dir, QStringLiteral("Cut_Skin.utx"), package({"cut"}, "xyz"));
    const QString missing = dir.filePath(QStringLiteral("Missing_Skin.utx"));
    const Run run = quorrelInt({missing, good, cut});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err.split(u'\n', Qt::SkipEmptyParts),
             (QStringList{"quorrel-int: " + missing + ": missing",
                          "quorrel-int: " + cut +
                              ": the scan reached the end of the file without its end marker"}));
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.int")}), QStringList{"Good_Skin.int"});
    QCOMPARE(quorrelInt({QStringLiteral("--mesh"), QStringLiteral("m"), good, cut}).status, 2);
}

// Catches a name list or picture list printed wrong, or packages not told apart.
void TestQuorrelInt::list() {
    QTemporaryDir dir;
    const QString tiger = writeFile(dir, QStringLiteral("Soldier_Tiger.utx"),
                                    package({"None", "soldier", "Tigr2", "Palette1", "Tigr1"}));
    const QString other = writeFile(dir, QStringLiteral("Other.utx"), package({"x", "Other", "P"}));
    auto list = [](const QStringList& arguments) { // CR LF on Windows
        return quorrelInt(QStringList{"--list"} + arguments).out.replace("\r\n", "\n");
    };
    QCOMPARE(list({"--mesh", "SOLDIER", tiger}),
             "[names]\nNone\nsoldier\nTigr2\nPalette1\nTigr1\n[pictures]\nTigr1\nTigr2\n");
    QCOMPARE(list({other, other}),
             ("# " + other + "\n[names]\nx\nOther\nP\n[pictures]\nP\n").toUtf8().repeated(2));
}

void TestQuorrelInt::failedWrites_data() {
    QTest::addColumn<QString>("into"); // "folder": missing; "device": /dev/full; "pipe": closed
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow(".int into a missing folder") << "folder" << QStringList{"-o", "MISSING"};
    QTest::newRow("--list into a full device") << "device" << QStringList{"--list"};
    QTest::newRow("--output - into a closed pipe") << "pipe" << QStringList{"-o", "-"};
}

// Catches a failed write that exits 0 or dies without a word.
void TestQuorrelInt::failedWrites() {
#ifdef Q_OS_WIN
    QSKIP("no full device or closed pipe on Windows");
#else
    QFETCH(QString, into);
    QFETCH(QStringList, arguments);
    QTemporaryDir dir;
    arguments.replaceInStrings(QStringLiteral("MISSING"), dir.filePath(QStringLiteral("gone")));
    int pipeEnds[2] = {-1, -1};
    if (into == QLatin1String("pipe")) {
        QCOMPARE(pipe(pipeEnds), 0);
        ::close(pipeEnds[0]); // nobody will ever read
    }
    arguments << writeFile(dir, QStringLiteral("Big_Skin.utx"), package({"None", "big", "P1"}));
    const Run run = quorrelInt(arguments, [&](QProcess& process) {
        if (into == QLatin1String("device"))
            process.setStandardOutputFile(QStringLiteral("/dev/full"));
        if (into == QLatin1String("pipe"))
            process.setChildProcessModifier([&] { ::dup2(pipeEnds[1], 1); });
    });
    if (pipeEnds[1] >= 0)
        ::close(pipeEnds[1]);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral(": could not write")), qPrintable(run.err));
#endif
}

void TestQuorrelInt::menu_data() {
    QTest::addColumn<QList<Object>>("textures");
    QTest::addColumn<int>("version");
    // "--complete …": what it writes; "utf16:" and a text: that text in UTF-16; a text: the text;
    // empty: the default mode's .int.
    QTest::addColumn<QString>("intText");
    QTest::addColumn<QString>("checked"); // what --check then prints, or the failure of --complete
    const QList<Object> viper{{"vipr1"}, {"Vipr1T_0"}, {"Vipr4Blake"}, {"Vipr5Blake"}};
    // Each finding is named by what it concerns; the core test checks its kind and its words.
    QTest::newRow("several skins, version 61")
        << QList<Object>{{"Tigr2"},    {"Tigr1"},          {"Tigr4Bob"},
                         {"Tigr5Bob"}, {"Pal", "Palette"}, {"Leop1"},
                         {"Leop4Ann"}, {"Leop5Ann"},       {"Puma1", "FireTexture", "Fire"}}
        << 61 << "--complete --skin leop=Leopard"
        << "skin Tigr1 \"Cats\"\n  face Tigr4Bob \"Bob\"\nskin Leop1 \"Leopard\"\n  face Leop4Ann "
           "\"Ann\"\nskin Puma1 \"Puma\"\nno problems\n";
    QTest::newRow("face slots and portraits")
        << QList<Object>{{"cmdo1"},    {"cmdo2Blake"}, {"cmdo5Blake"}, {"cmdo4Blake"}, {"Abcd1"},
                         {"Abcd5Xan"}, {"Tigr1"},      {"Tigr4Bob"},   {"Tigr5Zed"}}
        << 69 << "--complete --description Commando"
        << "skin cmdo1 \"Commando\"\n  face cmdo2Blake \"Blake\"\nskin Abcd1 \"Abcd\"\n  face "
           "Abcd5Xan \"Xan\"\nskin Tigr1 \"Tigr\"\n  face Tigr4Bob \"Bob\"\ncmdo4Blake\nTigr4Bob\n"
           "Tigr5Zed\n";
    QTest::newRow("team textures, case-mismatched face, version 64")
        << viper << 64 << "--complete"
        << "skin vipr1 \"Cats\"\n  face vipr4Blake \"Blake\"\nno problems\n";
    QTest::newRow("version 61, the default mode's .int")
        << viper << 61 << QString()
        << "skin  \"Cats\"\nCats.utx: version 61: the byte walk reads name 0 as \"one\" where the "
           "header has \"None\"\nCats. (line 3)\nvipr1\nVipr4Blake\n";
    QTest::newRow("the default mode writes no .int")
        << QList<Object>{{"Tigr1"}, {"NoStopMarker"}} << 69 << QString()
        << "the menu lists no skin\nCats.utx: the default mode writes no .int: the scan reached "
           "the end of the file without its end marker\nTigr1\n";
    QTest::newRow("by hand, read as the game reads")
        << viper << 69
        << "; by hand\r\n[Setup]\r\nObject=(Name=Cats.Gone,Class=Texture)\r\n[public]\n"
           "object = ( Name=Cats.vipr1, Class=Texture, Description = Viper )\n"
           "Object=(Name=Cats.Vipr1T_0,Class=Texture,Description=\"T_0\")\n"
           "Object=(Name=Cats.Vipr4Blake,Class=Texture,Description=\"Blake\")\n"
           "; Object=(Name=Cats.Gone,Class=Texture)\nObject=(Name=Dogs.Vipr5Blake,Class=Texture)\n"
           "Object=(Name=Cats.Gone,Class=Texture)"
        << "skin vipr1 \"Viper\"\nVipr1T_0\nVipr4Blake\nDogs.Vipr5Blake (line 9)\nCats.Gone (line "
           "10)\n";
    QTest::newRow("UTF-16, no skin listed")
        << viper << 69
        << QString::fromUtf8("utf16:[public]\r\nObject=(Name=Cats.Vipr4Blake,Class=Texture,"
                             "Description=\"Bl\u0101ke \u4E2D\")")
        << "the menu lists no skin\nvipr1\n";
    QTest::newRow("single-skin: the skins alone, by their names")
        << QList<Object>{{"Crimson"}, {"RedFace"}, {"T_Red"}} << 69 << "--complete"
        << "Cats is single-skin\nskin Crimson \"Crimson\"\nno problems\n";
    QTest::newRow("single-skin: no --description")
        << QList<Object>{{"Red"}} << 69 << "--complete --description Crimson"
        << "--description: the menu shows the skins of Cats, a single-skin model, by their names";
    QTest::newRow("no textures") << QList<Object>{{"Pal", "Palette"}} << 69 << "--complete"
                                 << "the package holds no textures";
    QTest::newRow("--skin for a skin the package lacks")
        << viper << 69 << "--complete --skin Tigr=Tiger"
        << "--skin tigr: the package holds no skin tigr";
}

// Catches a complete .int that hides or misdescribes a skin, or a check unlike the game's menu.
void TestQuorrelInt::menu() {
    QFETCH(QList<Object>, textures);
    QFETCH(int, version);
    QFETCH(QString, intText);
    QFETCH(QString, checked);
    QTemporaryDir dir;
    QByteArray bytes = realPackage(textures, quint16(version));
    if (textures.last().name == "NoStopMarker") // the byte walk then runs into the end
        bytes.replace(QByteArray("\0\x40\x04", 3), QByteArray("\0\x41\x04", 3));
    const QString package = writeFile(dir, QStringLiteral("Cats.utx"), bytes);
    QStringList arguments{"--check", package};
    if (intText.startsWith(QStringLiteral("--complete"))) {
        const Run complete = quorrelInt(intText.split(u' ') << package);
        if (complete.status != 0) {
            QCOMPARE(complete.err, "quorrel-int: " + package + ": " + checked + u'\n');
            return;
        }
        arguments << dir.filePath(QStringLiteral("Cats.int"));
    } else if (intText.startsWith(QStringLiteral("utf16:"))) {
        const QString text = intText.sliced(6);
        arguments << writeFile(
            dir, QStringLiteral("Cats.int"),
            "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(text.utf16()), text.size() * 2));
    } else if (!intText.isEmpty()) {
        arguments << writeFile(dir, QStringLiteral("Cats.int"), intText.toLatin1());
    }
    const Run run = quorrelInt(arguments);
    QStringList lines = QString::fromLatin1(run.out).remove(u'\r').split(u'\n'); // CR LF on Windows
    for (QString& line : lines) {
        if (!line.startsWith(QStringLiteral("skin ")) &&
            !line.startsWith(QStringLiteral("  face")) &&
            !line.startsWith(QStringLiteral("Cats.utx: ")))
            line = line.section(QStringLiteral(": "), 0, 0);
    }
    QCOMPARE(lines.join(u'\n'), checked);
    QCOMPARE(run.status, checked.endsWith(QStringLiteral("no problems\n")) ? 0 : 1);
}

// Catches a picture written wrong or elsewhere, a skipped texture that fails the run, a damaged
// texture or a failed write that passes or stops the others.
void TestQuorrelInt::pictures() {
    const QList<Object> textures{
        palette("Pal", QByteArray("\1\2\3\0\4\5\6\0", 8)),
        texture("Tigr1", textureTags(0, "Pal", true), {{{2, 1, QByteArray("\0\1", 2)}}}),
        texture("Tigr2", textureTags(5), {{{1, 1, "\1\2\3\xFF"}}}),
        texture("Fire1", textureTags(0, "Pal"), {{{1, 1, ""}}}, true, "FireTexture")};
    QTemporaryDir dir;
    const QString good = writeFile(dir, QStringLiteral("Cats.utx"), realPackage(textures));
    const QString bad = writeFile(
        dir, QStringLiteral("Dogs.utx"),
        realPackage(textures + QList<Object>{texture("Bad1", textureTags(4), {{{1, 1, "\1"}}})}));
    const QString into = dir.filePath(QStringLiteral("out"));
    const QString skipped =
        QStringLiteral(": Fire1: skipped: no stored pixels: the game draws it at "
                       "run time\n");
    Run run = quorrelInt({QStringLiteral("--pictures"), into, good});
    QCOMPARE(run.err, "quorrel-int: " + good + skipped);
    QCOMPARE(run.status, 0);
    QCOMPARE(QDir(into + "/Cats").entryList(QDir::Files), (QStringList{"Tigr1.png", "Tigr2.png"}));
    const QImage masked(into + "/Cats/Tigr1.png"), plain(into + "/Cats/Tigr2.png");
    QCOMPARE(masked.pixel(0, 0), qRgba(1, 2, 3, 0));
    QCOMPARE(masked.pixel(1, 0), qRgba(4, 5, 6, 255));
    QVERIFY(!plain.hasAlphaChannel());
    QCOMPARE(plain.pixel(0, 0), qRgb(3, 2, 1));

    QDir().mkpath(into + "/Dogs/Tigr2.png"); // a folder in the picture's place
    run = quorrelInt({QStringLiteral("--pictures"), into, bad});
    QCOMPARE(run.err.split(u'\n'),
             (QStringList{"quorrel-int: " + bad + ": Tigr2: could not write " +
                              QDir::toNativeSeparators(into + "/Dogs/Tigr2.png"),
                          "quorrel-int: " + bad + skipped.chopped(1),
                          "quorrel-int: " + bad + ": Bad1: unsupported format 4", ""}));
    QCOMPARE(run.status, 1);
    QVERIFY(QFile::exists(into + "/Dogs/Tigr1.png"));
    run = quorrelInt({QStringLiteral("--pictures"), good, good}); // a file where the folder goes
    QCOMPARE(run.err, "quorrel-int: " + good + ": could not write " +
                          QDir::toNativeSeparators(good + "/Cats") + u'\n');
    QCOMPARE(run.status, 1);
}

void TestQuorrelInt::render_data() {
    QTest::addColumn<QString>("mesh");      // where its package lies
    QTest::addColumn<QString>("arguments"); // GAME stands for the other game's folder
    QTest::addColumn<QString>("failure");   // empty: a 32 x 32 PNG
    // clang-format off
    QTest::newRow("beside the package") << "UT/System" << "" << "";
    QTest::newRow("in a game folder given; a face, a team, turned") << "Game/system"
        << "--game GAME --skin-group ABCD --face bob --team 2 --yaw 45" << "";
    QTest::newRow("found nowhere") << "Game/System" << "" << "no mesh Tri in the .u packages of";
    QTest::newRow("no such face") << "UT/System" << "--face Zed" << "the skin Abcd has no face Zed";
    QTest::newRow("a slot without its texture") << "UT/System" << "--skin-group efgh"
        << "the mesh's slot 1 wants the texture Efgh2";
    QTest::newRow("a texture that cannot be read") << "UT/System" << "--skin-group Ijkl"
        << "the texture Ijkl2: ";
    // clang-format on
}

// A package of the model Tri: one face each side, in slots 0 and 1.
QByteArray triPackage() {
    const testpkg::Mesh tri{.vertices = {packed(0, -9, 20), packed(0, 9, 20), packed(0, 0, -20)},
                            .faces = {{0, 1, 2, 0}, {2, 1, 0, 1}},
                            .wedges = {{0, 0, 0}, {1, 255, 0}, {2, 0, 255}},
                            .materials = {{0, 0}, {0, 1}}};
    return realPackage(
        {{"Tri", "LodMesh", "Engine", [=](const Refs& refs) { return meshData(tri, refs); }}});
}

// A texture of one pixel; in RGBA8 (5) by default, 4 is none this tool reads.
Object pixel(const QByteArray& name, int format = 5) {
    return texture(name, textureTags(format), {{{1, 1, "\1\2\3\xFF"}}});
}

// Catches a mesh not found where it lies, a failure that exits 0 or replaces the picture.
void TestQuorrelInt::render() {
    QFETCH(QString, mesh);
    QFETCH(QString, arguments);
    QFETCH(QString, failure);
    QTemporaryDir dir;
    writeFile(dir, mesh + QStringLiteral("/Models.u"), triPackage());
    const QString skin =
        writeFile(dir, QStringLiteral("UT/Textures/TriSkins_Red.utx"),
                  realPackage({pixel("Abcd1"), pixel("Abcd2"), pixel("Abcd2Bob"), pixel("Efgh1"),
                               pixel("Ijkl1"), pixel("Ijkl2", 4)}));
    const QString out = writeFile(dir, QStringLiteral("out.png"), "old");
    arguments.replace(QStringLiteral("GAME"), dir.filePath(QStringLiteral("Game")));
    const Run run = quorrelInt(QStringList{"--render", out, "--size", "32", skin} +
                               arguments.split(u' ', Qt::SkipEmptyParts));
    QVERIFY2(run.err.contains(failure), qPrintable(run.err));
    QCOMPARE(run.status, failure.isEmpty() ? 0 : 1);
    // A PNG's header, then its width and height.
    QCOMPARE(readFile(out).left(24).toHex(),
             failure.isEmpty() ? QByteArray("89504e470d0a1a0a0000000d494844520000002000000020")
                               : QByteArray("old").toHex());
}

// Catches a game folder listed wrong or not named, a problem that exits 0, a gallery without
// its pictures, progress told to a file, or a page left half written.
void TestQuorrelInt::game() {
    QTemporaryDir dir;
    const QString prefix = QStringLiteral("home/.wine/drive_c/UnrealTournament/");
    const QString ut = dir.filePath(prefix).chopped(1);
    auto put = [&](const QString& name, const QByteArray& bytes) {
        writeFile(dir, prefix + name, bytes);
    };
    put(QStringLiteral("System/Models.u"), triPackage());
    put(QStringLiteral("System/Models.int"), "[public]\nObject=(Name=Models.TriPlayer,Class=Class,"
                                             "MetaClass=Botpack.TournamentPlayer)\n");
    put(QStringLiteral("System/TriSkins_Red.int"),
        "[public]\nObject=(Name=TriSkins_Red.Abcd1,Class=Texture,Description=Red)\n"
        "Object=(Name=TriSkins_Red.Abcd2Bob,Class=Texture,Description=Bob)\n");
    const QByteArray skins =
        realPackage({pixel("Abcd1"), pixel("Abcd2"), pixel("Abcd2Bob"), pixel("Abcd5Bob")});
    put(QStringLiteral("Textures/TriSkins_Red.utx"), skins);
    const auto here = [&](QProcess& process) { // the game this machine holds
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), dir.filePath(QStringLiteral("home")));
        environment.remove(QStringLiteral("WINEPREFIX"));
        process.setProcessEnvironment(environment);
    };
    const QString listed = "game folder " + QDir::toNativeSeparators(ut) + "\nTri, from " +
                           QDir::toNativeSeparators("System/Models.u") +
                           "\n  skin Abcd1 \"Red\" from TriSkins_Red\n    face Abcd2Bob \"Bob\" "
                           "from TriSkins_Red\n";
    Run run = quorrelInt({QStringLiteral("--check-game")}, here);
#ifndef Q_OS_WIN
    QCOMPARE(QString::fromUtf8(run.out).remove(u'\r'), listed + "no problems\n");
    QCOMPARE(run.status, 0);
#endif
    put(QStringLiteral("Textures/TriSkins_Blue.utx"), skins);
    run = quorrelInt({QStringLiteral("--check-game"), ut});
    QCOMPARE(QString::fromUtf8(run.out).remove(u'\r'),
             listed + QDir::toNativeSeparators("Textures/TriSkins_Blue.utx") +
                 ": a skin package of Tri that no .int names; the menu lists none of its skins "
                 "(quorrel-int --complete writes the missing .int)\n");
    QCOMPARE(run.status, 1);

    const QString page = dir.filePath(QStringLiteral("page.html"));
    run = quorrelInt({QStringLiteral("--gallery"), page, ut});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err, QString()); // no progress into a pipe
    const QByteArray html = readFile(page);
    QCOMPARE(html.count("<img src=\"data:image/png;base64,"), 2); // the skin and its portrait
    QVERIFY(html.contains("TriSkins_Blue.utx: a skin package") && !html.contains("<script"));
    run = quorrelInt(
        {QStringLiteral("--gallery"), dir.filePath(QStringLiteral("gone/page.html")), ut});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral(": could not write ")), qPrintable(run.err));
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("gone"))));
    run = quorrelInt({QStringLiteral("--check-game"), dir.filePath(QStringLiteral("home"))});
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral("holds no System folder")), qPrintable(run.err));
}

// Catches a release whose files are not the package and .int byte for byte, or lie where the game
// does not look; a readme that misses the skins or teams; a release the menu could not list.
void TestQuorrelInt::release() {
    QTemporaryDir dir;
    const QByteArray bytes =
        realPackage({{"Tigr1"}, {"Tigr1T_1"}, {"Tigr4Bob"}, {"Tigr5Bob"}, {"Tigr2"}});
    const QString package = writeFile(dir, QStringLiteral("Soldier_Cats.utx"), bytes);
    const QString zip = dir.filePath(QStringLiteral("Cats.zip"));
    QCOMPARE(quorrelInt({"--release", zip, "--description", "Tabby", package}).status, 0);
    QZipReader reader(zip);
    QStringList paths;
    for (const QZipReader::FileInfo& file : reader.fileInfoList())
        paths << file.filePath;
    QCOMPARE(paths, (QStringList{"Textures/Soldier_Cats.utx", "System/Soldier_Cats.int",
                                 "Soldier_Cats.txt"}));
    QCOMPARE(reader.fileData(paths[0]), bytes);
    QCOMPARE(reader.fileData(paths[1]),
             quorrelInt({"--complete", "--description", "Tabby", "-o", "-", package}).out);
    const QString notes = QString::fromLatin1(reader.fileData(paths[2]));
    for (const char* line : {"Model: Soldier\r\n",
                             "  skin Tigr1 \"Tabby\"\r\n    face Tigr4Bob "
                             "\"Bob\"\r\n    team colours: blue\r\n",
                             "What the menu will miss:\r\n"
                             "  nothing\r\n"})
        QVERIFY2(notes.contains(QLatin1String(line)), qPrintable(notes));
    // An .int that describes no skin: refused, and the zip there before stays as it was.
    const QString given = writeFile(dir, QStringLiteral("Given.int"), "[public]\r\n");
    const Run refused = quorrelInt({"--release", zip, package, given});
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains(QStringLiteral("list no skin")), qPrintable(refused.err));
    QCOMPARE(QZipReader(zip).fileData(paths[0]), bytes);
}

namespace {

// An 8-bit PCX of `width` x 1 pixels of indices 0, 1, 2, ..., its palette entry i grey 10 * i.
QByteArray pcx(int width) {
    QByteArray bytes(128, '\0');
    bytes[0] = 0x0A;
    bytes[2] = 1;
    bytes[3] = 8;
    bytes[8] = char(width - 1);
    bytes[65] = 1;
    bytes[66] = char(width);
    for (int x = 0; x < width; ++x)
        bytes += QByteArray("\xC1") + char(x); // a run of one, as some writers store every byte
    bytes += '\x0C';
    for (int i = 0; i < 256; ++i)
        bytes += QByteArray(3, char(10 * i));
    return bytes;
}

// A colour-mapped TGA of 1 x 2 pixels, stored bottom-up, its colour 1 transparent (B, G, R, A).
const QByteArray kTga("\0\1\1\0\0\2\0\x20\0\0\0\0\1\0\2\0\x08\x08"
                      "\x10\x20\x30\xFF\x40\x50\x60\x00"
                      "\x00\x01",
                      18 + 8 + 2);

} // namespace

// Catches pictures that do not become the textures they are (size, colours, mask), a package the
// window cannot list, a refused picture not named or a package written or replaced anyway.
void TestQuorrelInt::make() {
    QTemporaryDir dir;
    QImage eightBit(4, 2, QImage::Format_Indexed8);
    eightBit.setColorTable({qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)});
    eightBit.fill(2);
    QImage trueColour(2, 2, QImage::Format_ARGB32);
    trueColour.fill(Qt::transparent);
    trueColour.setPixelColor(0, 0, QColor(1, 2, 3));
    const QStringList pictures{
        writeFile(dir, QStringLiteral("Tigr1.PNG"), pictureFile(eightBit, "png")),
        writeFile(dir, QStringLiteral("Tigr2.bmp"), pictureFile(trueColour, "bmp")),
        writeFile(dir, QStringLiteral("Tigr3.png"), pictureFile(trueColour, "png")),
        writeFile(dir, QStringLiteral("Tigr4Bob.pcx"), pcx(4)),
        writeFile(dir, QStringLiteral("Tigr5Bob.tga"), kTga)};
    const QString out = dir.filePath(QStringLiteral("Soldier_Cats.utx"));
    const Run made = quorrelInt(QStringList{"--make", out} + pictures);
    QCOMPARE(made.status, 0);
    QCOMPARE(QString::fromLatin1(made.out).remove(u'\r'),
             "Tigr1 4x2 1 colours unmasked\nTigr2 2x2 2 colours unmasked\nTigr3 2x2 2 colours "
             "masked\nTigr4Bob 4x1 4 colours unmasked\nTigr5Bob 1x2 2 colours masked\n");
    QVERIFY(QString::fromLatin1(quorrelInt({"--list", out}).out) // CR LF on Windows
                .remove(u'\r')
                .endsWith(QStringLiteral("[pictures]\nTigr1\nTigr2\nTigr3\nTigr4Bob\nTigr5Bob\n")));
    QCOMPARE(quorrelInt({"--pictures", dir.path(), out}).status, 0);
    const auto pixel = [&](const char* name, int x, int y) {
        return QImage(dir.filePath(QStringLiteral("Soldier_Cats/%1.png").arg(name))).pixel(x, y);
    };
    QCOMPARE(pixel("Tigr4Bob", 3, 0), qRgb(30, 30, 30));
    QCOMPARE(qAlpha(pixel("Tigr5Bob", 0, 0)), 0); // the top row is stored last
    QCOMPARE(pixel("Tigr5Bob", 0, 1), qRgb(0x30, 0x20, 0x10));

    // Refused, the picture named, and the package made before untouched.
    const QByteArray before = readFile(out);
    QImage odd(3, 4, QImage::Format_RGB32), wide(2048, 1, QImage::Format_RGB32);
    for (const auto& [file, bytes, reason] :
         {std::tuple{"Tigr 1.png", pictureFile(eightBit, "png"), "letters, digits"},
          {"Odd.png", pictureFile(odd, "png"), "power of two"},
          {"Wide.png", pictureFile(wide, "png"), "up to 1024"},
          {"Bad.png", QByteArray("\x89PNG not really"), "Bad.png: "},
          {"tigr1.tga", kTga, "case aside"},
          {"Tigr6.gif", pictureFile(eightBit, "png"), "not a PNG, BMP, TGA or PCX"}}) {
        const QString picture = writeFile(dir, QString::fromLatin1(file), bytes);
        const Run run = quorrelInt({"--make", out, pictures.first(), picture});
        QCOMPARE(run.status, 1);
        // (libpng says more of a damaged PNG on its own, before.)
        QVERIFY2(run.err.contains("quorrel-int: " + picture + ": ") &&
                     run.err.contains(QLatin1String(reason)),
                 qPrintable(run.err));
        QCOMPARE(readFile(out), before);
    }
    FullDisk disk(dir.filePath(QStringLiteral("full")), QStringLiteral("Soldier_Cats.utx"), "old");
    if (!disk.mounted)
        QSKIP("cannot mount a small tmpfs here (needs Linux and root); no disk to fill");
    const QString onFullDisk = dir.filePath(QStringLiteral("full/Soldier_Cats.utx"));
    QCOMPARE(quorrelInt(QStringList{"--make", onFullDisk} + pictures).status, 1);
    QCOMPARE(readFile(onFullDisk), QByteArray("old"));
}

// Catches an option that runs where it cannot apply, or a listed --help-all that fails.
void TestQuorrelInt::usage() {
    for (const QString line : {"--skin Tigr=Tiger a.utx",
                               "--complete --skin Tig=x a.utx",
                               "--complete --skin Tigr= a.utx",
                               "--complete --check a.utx",
                               "--complete --description a\"b a.utx",
                               "--check a.utx a.int b",
                               "--pictures d --list a.utx",
                               "--pictures d -o e a.utx",
                               "--render o.png --team 4 a.utx",
                               "--render o.png --size 15 a.utx",
                               "--render o.png --yaw x a.utx",
                               "--render o.png a.utx b.utx",
                               "--face Bob a.utx",
                               "--render o.png --pictures d a.utx",
                               "--release o.zip a.utx b.int c",
                               "--release o.zip -o d a.utx",
                               "--list",
                               "--check-game a b",
                               "--check-game --mesh m",
                               "--gallery o.html -o d",
                               "--check-game --gallery o.html",
                               "--gallery"})
        QVERIFY2(quorrelInt(line.split(u' ')).status == 2, qPrintable(line));
    QCOMPARE(quorrelInt({"--help-all"}).status, 0); // listed by --help, so it must work
}

QTEST_GUILESS_MAIN(TestQuorrelInt)
#include "tst_quorrelint.moc"
