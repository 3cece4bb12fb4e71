#include "PackageBuilder.h"
#include "TestFiles.h"

#include "base/Failure.h"
#include "game/GameFolders.h"
#include "game/MeshSearch.h"
#include "rules/PlayerModels.h"

using namespace quorrel;

class TestGame : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void gameFolders_data();
    void gameFolders();
    void findsMeshes();
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

QTEST_GUILESS_MAIN(TestGame)
#include "tst_game.moc"
