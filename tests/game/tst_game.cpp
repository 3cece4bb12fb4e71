#include "PackageBuilder.h"
#include "TestFiles.h"

#include "base/Failure.h"
#include "formats/IntFile.h"
#include "formats/Package.h"
#include "formats/Texture.h"
#include "game/GameCheck.h"
#include "game/GameFolders.h"
#include "game/MeshSearch.h"
#include "game/PictureFolder.h"
#include "rules/PlayerModels.h"

#include <QImage>

using namespace quorrel;

class TestGame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void gameFolders_data();
    void gameFolders();
    void findsMeshes();
    void checksAGame();
    void checksTheBonusPack();
    void pictureFolder();
    void refusedFolders();
};

// Rows: folders made in a temporary home; what the test's own user and machine keys record
// (Windows; fixed folder: f/Textures) or $WINEPREFIX; the folder found ("": none).
void TestGame::gameFolders_data() {
    QTest::addColumn<QStringList>("row");
    // clang-format off
#ifdef Q_OS_WIN
    QTest::newRow("user's key first") << QStringList{"a/Textures;b/Textures", "a;b", "a/Textures"};
    QTest::newRow("machine's if user's gone") << QStringList{"a/Textures", "gone;a", "a/Textures"};
    QTest::newRow("no key") << QStringList{"a/Textures", ";", ""};
    QTest::newRow("fixed first") << QStringList{"a/Textures;f/Textures", "a;", "f/Textures"};
#else
    const QString ut = "drive_c/UnrealTournament/Textures";
    QTest::newRow("neither") << QStringList{".wine/drive_c/UnrealTournament/System", "", ""};
    QTest::newRow("$WINEPREFIX first") << QStringList{".wine/" + ut + ";p/" + ut, "p", "p/" + ut};
    QTest::newRow("else ~/.wine") << QStringList{".wine/" + ut, "p", ".wine/" + ut};
#endif
    // clang-format on
}

// Catches dialogs that start outside the game's folder, in a missing one, or in the wrong order.
void TestGame::gameFolders() {
    QFETCH(QStringList, row);
    QTemporaryDir home;
    for (const QString& folder : row[0].split(u';'))
        QVERIFY(QDir(home.path()).mkpath(folder));
    GamePlaces places{home.path(), {}, {}};
    QString fixed = kTexturesFolder;
#ifdef Q_OS_WIN
    const QString keys = "HKEY_CURRENT_USER\\Software\\Quorrel File Generator Tests";
    const auto removeKeys = qScopeGuard([&] { QSettings(keys, QSettings::NativeFormat).clear(); });
    for (const QString& folder : row[1].split(u';')) {
        places.registryKeys << keys + u'\\' + QString::number(places.registryKeys.size());
        if (!folder.isEmpty())
            QSettings(places.registryKeys.last(), QSettings::NativeFormat)
                .setValue("Folder", QDir::toNativeSeparators(home.filePath(folder)));
    }
    fixed = QDir::toNativeSeparators(home.filePath("f/Textures/"));
#else
    places.winePrefix = row[1].isEmpty() ? QString() : home.filePath(row[1]);
#endif
    QCOMPARE(findGameFolder(fixed, places).value_or(QString()),
             row[2].isEmpty() ? QString() : QDir::cleanPath(home.filePath(row[2])));
}

// Catches a missed folder, package or stock home, a texture taken for a mesh, or an unnamed place.
void TestGame::findsMeshes() {
    QTemporaryDir dir;
    auto package = [](const QByteArray& mesh, const QByteArray& className) { // past 4 KiB
        const auto big = [](const testpkg::Refs&) { return QByteArray(8000, 'x'); };
        return testpkg::realPackage({{"Big", "Texture", "Engine", big}, {mesh, className}});
    };
    const QString skin = testpkg::writeFile(dir, "UT/Textures/FooSkins_Red.utx", "");
    testpkg::writeFile(dir, "UT/system/A.u", package("Foo", "Texture"));
    testpkg::writeFile(dir, "UT/system/B.u", "not a package");
    testpkg::writeFile(dir, "UT/system/C.u", package("foo", "LodMesh"));
    testpkg::writeFile(dir, "Game/System/Aaa.u", package("Soldier", "LodMesh"));
    testpkg::writeFile(dir, "Game/System/botpack.U", package("soldier", "LodMesh"));
    const QStringList folders = meshFolders(skin, {dir.filePath("Gone"), dir.filePath("Game")});
    QCOMPARE(folders, (QStringList{dir.filePath("UT/system"), dir.filePath("Gone"),
                                   dir.filePath("Game/System")}));
    QCOMPARE(skinMeshName("soldierskins"), "Soldier");
    const FoundMesh foo = findMesh(skinMeshName("FooSkins_Red"), folders);
    QCOMPARE(foo.file, dir.filePath("UT/system/C.u"));
    QCOMPARE(foo.tables.exports.at(foo.exportIndex).objectName, "foo");
    QCOMPARE(findMesh(u"Soldier", folders).file, dir.filePath("Game/System/botpack.U"));
    QString failure; // of the right kind, naming every folder
    try {
        findMesh(u"Boss", folders);
    } catch (const Failure& f) {
        failure = f.kind() == Failure::Kind::NotFound ? f.text() : QString();
    }
    QCOMPARE(failure, "no mesh Boss in the .u packages of " +
                          QDir::toNativeSeparators(folders[0] + ", " + folders[1] +
                                                   " (no such folder), " + folders[2]));
}

// Catches a skin listed for the wrong model or not at all, a problem missed, told twice or without
// its files, a damaged package or a UTF-16 .int that stops the check, a weapon or monster taken
// for a player model.
void TestGame::checksAGame() {
    QTemporaryDir dir;
    auto write = [&](const QString& name, const QByteArray& bytes) {
        testpkg::writeFile(dir, "UT/" + name, bytes);
    };
    auto package = [](const QList<QByteArray>& names, const QByteArray& className = "Texture") {
        QList<testpkg::Object> objects;
        for (const QByteArray& name : names)
            objects << testpkg::Object{name, className};
        return testpkg::realPackage(objects);
    };
    auto objects = [](const QStringList& lines) {
        QByteArray text = "[public]\n";
        for (const QString& line : lines)
            text += "Object=(Name=" + line.toLatin1() + ")\n";
        return text;
    };
    const QString player = "Class=Class,MetaClass=Botpack.TournamentPlayer";
    write("System/Botpack.u", package({"Soldier", "Minigun"}, "LodMesh"));
    write("System/Botpack.int", objects({"Botpack.TMale2," + player}));
    write("System/UnrealI.u", package({"Queen"}, "LodMesh"));
    write("System/Xeno.u", package({"Xeno"}, "Mesh"));
    write("System/Xeno.int", objects({"Xeno.XenoPlayer," + player}));
    write("Textures/Queen.utx", package({"Queen1"}));    // a monster's
    write("Textures/MinigunFX.utx", package({"Flash"})); // a weapon's
    write("Textures/SoldierSkins_Tigr.utx", package({"Tigr1", "Tigr2", "Tigr4Bob", "Tigr5Bob"}));
    const QString utf16 = "[public]\r\nObject=(Name=SoldierSkins_Tigr.Tigr1,Class=Texture,"
                          "Description=\"Tig\u00E9r\")\r\nObject=(Name=SoldierSkins_Tigr.Tigr4Bob,"
                          "Class=Texture,Description=\"Bob\")\r\n";
    write("System/SoldierSkins_Tigr.int",
          "\xFF\xFE" + QByteArray(reinterpret_cast<const char*>(utf16.utf16()), utf16.size() * 2));
    write("System/Extra.int", objects({"SoldierSkins_Tigr.Tigr4Bob,Class=Texture,Description=Bob",
                                       "SoldierSkins_Tigr.Tigr2Ann,Class=Texture,Description=Ann",
                                       "SoldierSkins_Gone.Gone1,Class=Texture,Description=Gone",
                                       "FooSkins.Abcd1,Class=Texture,Description=Abcd"}));
    write("Textures/SoldierSkins_Leop.utx", package({"Leop1"}));
    write("Textures/SoldierSkins_Lynx.utx", package({"Lynx1", "Lynx4Kit"}));
    write("System/Lynx.int", objects({"SoldierSkins_Lynx.Lynx1,Class=Texture,Description=Lynx",
                                      "SoldierSkins_Lynx.Lynx4Kit,Class=Texture,Description=Kit"}));
    write("Textures/SoldierSkins_Bad.utx", "not a package");
    write("Textures/Xeno_Red.utx", package({"Red", "RedFace"}));
    write("System/Xeno_Red.int",
          objects({"Xeno_Red.Red,Class=Texture", "Xeno_Red.RedFace,Class=Texture"}));

    const GameCheck check = checkGame(dir.filePath("UT"));
    QStringList models;
    for (const GameModel& model : check.models) {
        QStringList skins;
        for (const MenuSkin& skin : model.skins) {
            QStringList faces;
            for (const MenuFace& face : skin.faces)
                faces << face.texture + u'/' + face.package;
            skins << skin.texture + u'/' + skin.description + u'/' + skin.package +
                         (faces.isEmpty() ? QString() : " (" + faces.join(u' ') + u')');
        }
        models << model.menu.mesh + (model.menu.singleSkin ? "*: " : ": ") + skins.join(", ");
    }
    QCOMPARE(models,
             (QStringList{"Soldier: Gone1/Gone/SoldierSkins_Gone, Lynx1/Lynx/SoldierSkins_Lynx "
                          "(Lynx4Kit/SoldierSkins_Lynx), Tigr1/Tig\u00E9r/SoldierSkins_Tigr "
                          "(Tigr4Bob/SoldierSkins_Tigr Tigr2Ann/SoldierSkins_Tigr "
                          "Tigr4Bob/SoldierSkins_Tigr)",
                          "Xeno*: Red/Red/Xeno_Red, RedFace/RedFace/Xeno_Red"}));
    QStringList problems;
    for (const GameProblem& problem : check.problems)
        problems << problem.text;
    const QString lynx = "Textures/SoldierSkins_Lynx.utx", tigr = "Textures/SoldierSkins_Tigr.utx";
    QStringList expected{
        "Textures/SoldierSkins_Bad.utx: cannot be read: not a package: the signature is missing",
        "System/Extra.int line 3: SoldierSkins_Tigr.Tigr2Ann: " + tigr +
            " holds no texture Tigr2Ann; the menu lists a face it cannot show",
        "System/Extra.int line 4: SoldierSkins_Gone.Gone1: no package SoldierSkins_Gone in "
        "Textures or System; the menu lists a skin it cannot show",
        "SoldierSkins_Tigr.Tigr4Bob: listed by System/Extra.int and System/SoldierSkins_Tigr.int; "
        "the menu lists it 2 times",
        "FooSkins: System/Extra.int describes its Abcd1 as a skin, but its name begins with no "
        "model's mesh name; no model lists it",
        "Textures/SoldierSkins_Leop.utx: a skin package of Soldier that no .int names; the menu "
        "lists none of its skins (quorrel-int --complete writes the missing .int)",
        lynx + " (System/Lynx.int): Lynx4Kit: the face has no portrait Lynx5Kit",
        "Textures/Xeno_Red.utx (System/Xeno_Red.int): RedFace: a talk picture, which the menu "
        "lists as a skin"};
    for (QString& line : expected)
        line = QDir::toNativeSeparators(line);
    QCOMPARE(problems, expected);
    QCOMPARE(check.problems.at(3).files.size(), 2);

    QString failure; // a folder that is no game's
    try {
        checkGame(dir.filePath("UT/System"));
    } catch (const Failure& f) {
        failure = f.kind() == Failure::Kind::NotFound ? f.text() : QString();
    }
    QVERIFY2(failure.endsWith(" holds no System folder: it is no game folder"),
             qPrintable(failure));
}

// Catches the bonus pack's own folder, with the .int --complete writes, found wanting.
void TestGame::checksTheBonusPack() {
    const QDir shared(QStringLiteral(QUORREL_TESTDATA_DIR));
    if (!shared.exists("EpicCustomModels.u") || !shared.exists("tcowmeshskins.utx"))
        QSKIP("no EpicCustomModels.u and tcowmeshskins.utx in " QUORREL_TESTDATA_DIR);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath("Textures") && QDir(dir.path()).mkpath("System"));
    QVERIFY(QFile::copy(shared.filePath("EpicCustomModels.u"),
                        dir.filePath("System/EpicCustomModels.u")));
    QVERIFY(QFile::copy(shared.filePath("tcowmeshskins.utx"),
                        dir.filePath("Textures/tcowmeshskins.utx")));
    const QStringList textures =
        textureNames(readPackageTablesOf(dir.filePath("Textures/tcowmeshskins.utx")));
    const QList<IntObject> objects =
        gameObjects(textures, menuModelOf("tcowmeshskins", textures), {}, {});
    testpkg::writeFile(dir, "System/tcowmeshskins.int",
                       intFileBytes(buildIntText("tcowmeshskins", objects)));
    const GameCheck check = checkGame(dir.path());
    QVERIFY(check.problems.isEmpty());
    QStringList models;
    for (const GameModel& model : check.models) {
        models << model.menu.mesh;
        for (const MenuSkin& skin : model.skins)
            models << skin.texture;
    }
    QCOMPARE(models, (QStringList{"TCowMesh", "warcow", "atomiccow", "tnalimesh", "TSkM"}));
}

namespace {

QByteArray picture(QColor colour, const char* format = "PNG", int width = 2,
                   bool eightBit = false) {
    QImage image(width, 2, QImage::Format_RGB32);
    image.fill(colour);
    return testpkg::pictureFile(eightBit ? image.convertToFormat(QImage::Format_Indexed8) : image,
                                format);
}

QByteArray withoutGuid(QByteArray package) {
    return package.replace(36, 16, QByteArray(16, '\0'));
}

} // namespace

// Catches a folder's package other than --make's of its pictures, a picture decoded again though
// unchanged, a half-saved picture that loses its texture or slips into the package to save, and
// a new or removed picture not followed.
void TestGame::pictureFolder() {
    using testpkg::writeFile;
    QTemporaryDir dir;
    const QStringList pictures{
        writeFile(dir, "Soldier_Cats/Tigr1.png", picture(Qt::red)),
        writeFile(dir, "Soldier_Cats/Tigr2.bmp", picture(Qt::green, "BMP")),
        writeFile(dir, "Soldier_Cats/Tigr4Bob.png", picture(Qt::blue, "PNG", 2, true))};
    writeFile(dir, "Soldier_Cats/notes.txt", "not a picture");
    PictureFolder folder(dir.filePath("Soldier_Cats"));
    const QString made = dir.filePath("Soldier_Cats.utx");
    QCOMPARE(testpkg::quorrelInt(QStringList{"--make", made} + pictures).status, 0);
    QCOMPARE(withoutGuid(folder.completeBytes()), withoutGuid(testpkg::readFile(made)));
    const QByteArray before = folder.package().bytes;

    // Other pixels at the same size and time: read again only when the watcher names the file.
    const QDateTime time = QFileInfo(pictures[1]).lastModified();
    writeFile(dir, "Soldier_Cats/Tigr2.bmp", picture(Qt::yellow, "BMP"));
    QFile rewritten(pictures[1]);
    QVERIFY(rewritten.open(QIODevice::Append) &&
            rewritten.setFileTime(time, QFileDevice::FileModificationTime));
    rewritten.close();
    QVERIFY(!folder.refresh().any());
    QVERIFY(folder.refresh({pictures[1]}).textures);
    QVERIFY(folder.package().bytes != before);

    const QByteArray whole = testpkg::readFile(pictures[0]);
    writeFile(dir, "Soldier_Cats/Tigr1.png", whole.left(whole.size() / 2));
    const QByteArray kept = folder.package().bytes;
    const FolderChange half = folder.refresh();
    QVERIFY(half.problems && !half.textures);
    QCOMPARE(folder.problems().size(), 1);
    QCOMPARE(folder.problems()[0].file, "Tigr1.png");
    QVERIFY(folder.problems()[0].kept);
    QCOMPARE(folder.package().bytes, kept);
    QVERIFY_THROWS_EXCEPTION(Failure, folder.completeBytes());
    writeFile(dir, "Soldier_Cats/Tigr1.png", picture(Qt::white));
    QVERIFY(folder.refresh().textures && folder.problems().isEmpty());

    writeFile(dir, "Soldier_Cats/Tigr3.png", picture(Qt::black));
    QVERIFY(folder.refresh().names);
    QVERIFY(QFile::remove(pictures[1]));
    QVERIFY(folder.refresh().names);
    QCOMPARE(folder.package().textures, (QStringList{"Tigr1", "Tigr3", "Tigr4Bob"}));
}

// Catches a folder opened though the game could not take its package or --make would refuse a
// picture, or refused without saying why.
void TestGame::refusedFolders() {
    QTemporaryDir dir;
    for (const auto& [folder, files, reason] :
         {std::tuple<QString, QStringList, QString>{
              "Soldier Cats", {"Tigr1.png"}, "as the package's name, the name"},
          {"Empty", {"notes.txt", "Tigr1.gif"}, "no PNG, BMP, TGA or PCX picture"},
          {"Cats", {"Tigr1.png", "tigr1.bmp"}, "tigr1.bmp: its texture would have the name"},
          {"Odd", {"Tigr1.png", "Tigr2.pcx"}, "Tigr2.pcx: "},
          {"Wide", {"Tigr1.bmp"}, "Tigr1.bmp: its size 3x2"},
          {"Tigr", {"tigr.png"}, "tigr.png: its texture would have the package's name"}}) {
        for (const QString& file : files)
            testpkg::writeFile(dir, folder + u'/' + file,
                               file.endsWith(".pcx")
                                   ? QByteArray("not a picture")
                                   : picture(Qt::red, file.endsWith(".bmp") ? "BMP" : "PNG",
                                             folder == "Wide" ? 3 : 2));
        try {
            PictureFolder opened(dir.filePath(folder));
            QFAIL(qPrintable(folder));
        } catch (const Failure& failure) {
            QVERIFY2(failure.text().contains(reason), qPrintable(failure.text()));
        }
    }
}

QTEST_GUILESS_MAIN(TestGame)
#include "tst_game.moc"
