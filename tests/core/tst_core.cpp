#include "PackageBuilder.h"
#include "TestFiles.h"

#include "core/Failure.h"
#include "core/GameFolders.h"
#include "core/GeneratorState.h"
#include "core/IntFile.h"
#include "core/NameFields.h"
#include "core/Package.h"
#include "core/PictureScan.h"
#include "core/SkinMenu.h"

#include <QtTest>

using namespace quorrel;
using testpkg::package;

class TestCore : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void walk_data();
    void walk();
    void selection_data();
    void selection();
    void nameFields_data();
    void nameFields();
    void intText_data();
    void intText();
    void findings_data();
    void findings();
    void findingsInEnglish();
    void failsCleanly_data();
    void failsCleanly();
    void realPackages();
    void gameFolders_data();
    void gameFolders();
};

// The fuzz target compares the walk with a byte-by-byte walk on many more inputs; these rows
// pin down its edges.
void TestCore::walk_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("complete");
    const QByteArray abc = testpkg::kHeader + "\x05" + "abc" + QByteArray("\x00\x10\x00\x07", 4);
    // clang-format off
    QTest::newRow("65 bytes: nothing to visit") << QByteArray(65, 'x') << QStringList() << true;
    QTest::newRow("names and an empty one, then the stop marker")
        << package({"None", "Tiger1", "", "\x80uro\xE9"})
        << QStringList{"None", "Tiger1", "", QString::fromUtf8("\u20ACuro\u00E9")} << true;
    QTest::newRow("no stop marker keeps the names read so far")
        << package({"None", "Tiger1"}, "abcdefgh") << QStringList{"None", "Tiger1"} << false;
    QTest::newRow("stop marker as the last two bytes")
        << package({"A"}, "xyz" + testpkg::kStopMarker) << QStringList{"A"} << false;
    QTest::newRow("name-end at N-4 ends normally") << abc + '\0' << QStringList{"abc"} << true;
    QTest::newRow("name-end at N-2 cannot be tested") << abc.chopped(1) << QStringList() << false;
    QTest::newRow("name-end right at the edge of the search")
        << abc + QByteArray("\x00\x01\x00\x10\x00\x07", 6) << QStringList{"abc", ""} << true;
    QTest::newRow("00 10 FF 07 ends a name; 00 10 00 06 does not")
        << package({QByteArray("d\0\x10\0\x06" "e", 6), "f"})
               .replace(QByteArray("e\0\x10\0\x07", 5), QByteArray("e\0\x10\xFF\x07", 5))
        << QStringList{QString::fromLatin1(QByteArray("d\0\x10\0\x06" "e", 6)), "f"}
        << true;
    // clang-format on
}

// Catches a walk that misreads markers, their bounds or the end of the file.
void TestCore::walk() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, names);
    QFETCH(bool, complete);
    const NameWalk result = walkNames(bytes);
    QCOMPARE(result.names, names);
    QCOMPARE(result.complete, complete);
}

void TestCore::selection_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("mesh");
    QTest::addColumn<QStringList>("pictures"); // as the sorted picture list shows them
    // clang-format off
    QTest::newRow("pictures follow the mesh name; palettes left out")
        << QStringList{"None", "soldierskins_Tiger", "Tiger2", "Palette12", "Tiger1"}
        << "SoldierSkins" << QStringList{"Tiger1", "Tiger2"};
    QTest::newRow("empty mesh name matches name 0")
        << QStringList{"Zed", "b", "PALETTEx", "a", "palett"} << ""
        << QStringList{"a", "b", "palett"};
    QTest::newRow("first match is the last name")
        << QStringList{"a", "Mesh"} << "mesh" << QStringList();
    QTest::newRow("only the first match starts; shorter names never match")
        << QStringList{"Me", "Mesh", "p1", "MeshAgain"} << "MESH" << QStringList{"MeshAgain", "p1"};
    QTest::newRow("order: no numbers, case ignored, punctuation and digits before letters")
        << QStringList{"m", "Tigr2", "Tigr10", "b", "A", "a_", "a1", "a-", "", "abc", "ABC"} << "m"
        << QStringList{"", "A", "a-", "a_", "a1", "abc", "ABC", "b", "Tigr10", "Tigr2"};
    // clang-format on
}

// Catches a wrong picture list: a wrong start, palettes kept, a case-sensitive match, a bad sort.
void TestCore::selection() {
    QFETCH(QStringList, names);
    QFETCH(QString, mesh);
    QFETCH(QStringList, pictures);
    QList<QByteArray> encoded;
    for (const QString& name : names)
        encoded << name.toLatin1();
    const PictureScan scan = scanPictures(package(encoded), mesh);
    QCOMPARE(scan.names, names);
    QCOMPARE(scan.pictures, pictures);
}

void TestCore::nameFields_data() {
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("mesh");
    QTest::newRow("mesh, skin") << "Soldier_Tiger"
                                << "Soldier";
    QTest::newRow("first underscore") << "a_b_c"
                                      << "a";
    QTest::newRow("no underscore") << "Tiger"
                                   << "Tiger";
    QTest::newRow("underscore first") << "_T"
                                      << "";
    QTest::newRow("cleared") << ""
                             << "";
}

// Catches a wrong mesh name or skin description derived from the package name.
void TestCore::nameFields() {
    QFETCH(QString, package);
    QFETCH(QString, mesh);
    GeneratorState state;
    state.setPackageName(package + u'x');
    state.setPackageName(package);
    QCOMPARE(state.meshName(), mesh);
    QCOMPARE(state.skinDescription(), package);
}

void TestCore::intText_data() {
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("pictures");
    QTest::addColumn<QStringList>("objects"); // each line less "Object=(Name=" and ")\r\n"
    // clang-format off
    QTest::newRow("face rules; picture 0 always takes the skin description") << "P" << "D"
        << QStringList{"14b", "44a", "4a", "a4", "x4y_z"}
        << QStringList{"P.14b,Class=Texture,Description=\"D\"",
                       "P.44a,Class=Texture,Description=\"4a\"",
                       "P.4a,Class=Texture,Description=\"a\"", "P.a4,Class=Texture",
                       "P.x4y_z,Class=Texture"};
    QTest::newRow("empty picture list") << "Pkg" << "Desc" << QStringList()
        << QStringList{"Pkg.,Class=Texture,Description=\"Desc\""};
    QTest::newRow("nothing escaped") << "a\"b,c" << "say \"hi\"\rthere" << QStringList{"p"}
        << QStringList{"a\"b,c.p,Class=Texture,Description=\"say \"hi\"\rthere\""};
    // clang-format on
}

// Catches a wrong INT line, description rule or line end, and Make INT appending to old text.
void TestCore::intText() {
    QFETCH(QString, package);
    QFETCH(QString, description);
    QFETCH(QStringList, pictures);
    QFETCH(QStringList, objects);
    GeneratorState state;
    state.setPackageName(package);
    state.setSkinDescription(description);
    state.setPictures(pictures);
    state.setIntText(QStringLiteral("the user's own edits"));
    MakeInt(state);
    MakeInt(state);
    QString text = QStringLiteral("[public]\r\n\r\n");
    for (const QString& object : objects)
        text += QStringLiteral("Object=(Name=") + object + QStringLiteral(")\r\n");
    QCOMPARE(state.intText(), text);
}

void TestCore::findings_data() {
    QTest::addColumn<QStringList>("textures");
    QTest::addColumn<QString>("intText");
    QTest::addColumn<QString>("found"); // each finding's kind and texture
    QTest::newRow("entries")
        << QStringList{"vipr1", "Vipr1T_0", "Vipr4Blake", "Vipr5Blake"}
        << "[public]\nObject=(Name=Cats.vipr1,Class=Texture,Description=V)\n"
           "Object=(Name=Cats.Vipr1T_0,Class=Texture,Description=T)\n"
           "Object=(Name=Cats.Vipr4Blake,Class=Texture,Description=B)\n"
           "Object=(Name=Dogs.Vipr5Blake,Class=Texture)\nObject=(Name=Cats.Gone,Class=Texture)\n"
           "Object=(Name=cats.Vipr5Blake,Class=texture,Description=B)"
        << "team Vipr1T_0, case Vipr4Blake, foreign Vipr5Blake, missing Gone, case Vipr5Blake, "
           "described Vipr5Blake";
    QTest::newRow("skins and faces without entries")
        << QStringList{"cmdo1", "cmdo2Blake", "cmdo5Blake", "cmdo4Blake",
                       "Tigr1", "Tigr4Bob",   "Tigr5Zed"}
        << QString()
        << "skin cmdo1, skin Tigr1, face cmdo2Blake, slot cmdo4Blake, face Tigr4Bob, portrait "
           "Tigr4Bob, lone Tigr5Zed";
}

// Catches a menu rule that finds the wrong thing, at the wrong texture, or misses one.
void TestCore::findings() {
    QFETCH(QStringList, textures);
    QFETCH(QString, intText);
    QFETCH(QString, found);
    // In the order of the kinds.
    const char* names[] = {"foreign", "missing",  "team", "case",      "skin",
                           "face",    "portrait", "lone", "described", "slot"};
    QStringList findings;
    for (const MenuFinding& finding :
         menuFindings(textures, readIntEntries(intText), QStringLiteral("Cats")))
        findings << QString::fromLatin1(names[int(finding.kind)]) + u' ' + finding.texture;
    QCOMPARE(findings.join(QStringLiteral(", ")), found);
}

// Catches a finding told in other words than quorrel-int --check has always used.
void TestCore::findingsInEnglish() {
    using F = MenuFinding::Kind;
    const std::pair<MenuFinding, const char*> rows[] = {
        {{F::ForeignPackage, "T5", "Cats", {}, "Dogs", 3},
         "Dogs.T5 (line 3): its package part is not the file's name \"Cats\""},
        {{F::NoSuchTexture, "T5", {}, {}, "Cats", 4},
         "Cats.T5 (line 4): the package holds no texture of that name"},
        {{F::DescribedTeam, "Tigr1T_0"},
         "Tigr1T_0: a team texture with a description; the menu lists it as a face"},
        {{F::FaceCaseDiffers, "TIGR4Bob"},
         "TIGR4Bob: its first four characters differ in case "
         "from its skin's; the menu won't list the face"},
        {{F::SkinUndescribed, "Tigr1"},
         "Tigr1: the skin has no description; the menu won't list it"},
        {{F::FaceUndescribed, "Tigr4Bob"},
         "Tigr4Bob: the face has no description; the menu won't list it"},
        {{F::NoPortrait, "Tigr4Bob", "Tigr5Bob"}, "Tigr4Bob: the face has no portrait Tigr5Bob"},
        {{F::PortraitWithoutFace, "Tigr5Zed", "Tigr4Zed"},
         "Tigr5Zed: a portrait without its face Tigr4Zed"},
        {{F::DescribedPortrait, "Tigr5Bob"},
         "Tigr5Bob: a portrait with a description; the menu lists it as a face"},
        {{F::FaceOffSlot, "Tigr4Bob", {}, u'2'},
         "Tigr4Bob: a face at digit 4, but the group's "
         "faces are at digit 2; the menu won't list it"},
    };
    for (const auto& [finding, english] : rows)
        QCOMPARE(findingText(finding), QString::fromUtf8(english));
}

void TestCore::failsCleanly_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray good = testpkg::realPackage({{"Tigr1"}, {"Tigr2"}});
    auto patched = [&](qsizetype at, quint32 value) {
        QByteArray bytes = good;
        qToLittleEndian(value, bytes.data() + at);
        return bytes;
    };
    QTest::newRow("no signature") << QByteArray("\xC1\x83\x2A", 3) << "signature";
    QTest::newRow("name count beyond the file") << patched(12, 0x7FFFFFFF) << "name count";
    QTest::newRow("negative export count") << patched(20, 0xFFFFFFFF) << "negative";
    QTest::newRow("names past the end") << patched(16, 0x7FFFFFF0) << "past the end";
    QTest::newRow("generations beyond the header") << patched(52, 1000) << "generation count";
    QTest::newRow("name table cut") << good.left(500) << "a name at byte 495 runs past the end";
    QByteArray sixBytes = good;
    sixBytes.replace(64, 6, "\x7F\xFF\xFF\xFF\xFF\x01");
    QTest::newRow("compact index of six bytes") << sixBytes << "longer than five bytes";
    // Export 0 starts with its class (import 1, written as -2: 0x82), then super and outer, 0.
    QByteArray badClass = good;
    badClass[good.indexOf(QByteArray("\x82\0\0\0\0\0", 6))] = 0x3F;
    QTest::newRow("export class out of range") << badClass << "export 0 refers to object 63";
}

// Catches a read outside the buffer, a huge allocation from a hostile count, or damage let pass.
void TestCore::failsCleanly() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    try {
        readPackageTables(bytes);
        QFAIL("damage let pass");
    } catch (const Failure& failure) {
        QCOMPARE(failure.kind(), Failure::Kind::Damaged);
        QVERIFY2(failure.text().contains(reason), qPrintable(failure.text()));
    }
}

// Catches a reader that fails on real packages or reads other names than the byte walk does.
void TestCore::realPackages() {
    if (testpkg::sharedPackages().isEmpty())
        QSKIP("no real packages in " QUORREL_TESTDATA_DIR "; built packages only");
    for (const QString& path : testpkg::sharedPackages()) {
        const QByteArray bytes = testpkg::readFile(path);
        const PackageTables tables = readPackageTables(bytes);
        // These are all version 69, where the walk and the header read the same table.
        QVERIFY2(walkDifference(walkNames(bytes), tables.names).isEmpty(), qPrintable(path));
        QVERIFY2(!textureNames(tables).isEmpty(), qPrintable(path));
    }
}

// Rows: folders made in a temporary home; what the test's own user and machine keys record
// (Windows; fixed folder: f/Textures) or $WINEPREFIX; the folder found ("": none).
void TestCore::gameFolders_data() {
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
void TestCore::gameFolders() {
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

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
