#include "PackageBuilder.h"
#include "TestFiles.h"

#include "formats/IntFile.h"
#include "formats/Package.h"
#include "formats/Texture.h"
#include "rules/NameWalk.h"
#include "rules/PictureScan.h"
#include "rules/SkinMenu.h"
#include "rules/SkinSlots.h"

using namespace quorrel;
using testpkg::package;

class TestRules : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void walk_data();
    void walk();
    void selection_data();
    void selection();
    void findings_data();
    void findings();
    void findingsInEnglish();
    void realPackages();
    void slots_data();
    void slots();
    void skins();
};

// The fuzz target compares the walk with a byte-by-byte walk on many more inputs; these rows
// pin down its edges.
void TestRules::walk_data() {
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
void TestRules::walk() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, names);
    QFETCH(bool, complete);
    const NameWalk result = walkNames(bytes);
    QCOMPARE(result.names, names);
    QCOMPARE(result.complete, complete);
}

void TestRules::selection_data() {
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
void TestRules::selection() {
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

void TestRules::findings_data() {
    QTest::addColumn<QString>("package");
    QTest::addColumn<QStringList>("textures");
    QTest::addColumn<QString>("intText");
    QTest::addColumn<QString>("found"); // each finding's kind and texture
    QTest::newRow("entries")
        << "Cats" << QStringList{"vipr1", "Vipr1T_0", "Vipr4Blake", "Vipr5Blake"}
        << "[public]\nObject=(Name=Cats.vipr1,Class=Texture,Description=V)\n"
           "Object=(Name=Cats.Vipr1T_0,Class=Texture,Description=T)\n"
           "Object=(Name=Cats.Vipr4Blake,Class=Texture,Description=B)\n"
           "Object=(Name=Dogs.Vipr5Blake,Class=Texture)\nObject=(Name=Cats.Gone,Class=Texture)\n"
           "Object=(Name=cats.Vipr5Blake,Class=texture,Description=B)"
        << "team Vipr1T_0, case Vipr4Blake, foreign Vipr5Blake, missing Gone, case Vipr5Blake, "
           "described Vipr5Blake";
    QTest::newRow("skins and faces without entries")
        << "Cats" << QStringList{"cmdo1", "cmdo2Blake", "cmdo5Blake", "cmdo4Blake",
                                 "Tigr1", "Tigr4Bob",   "Tigr5Zed"}
        << QString()
        << "skin cmdo1, skin Tigr1, face cmdo2Blake, slot cmdo4Blake, face Tigr4Bob, portrait "
           "Tigr4Bob, lone Tigr5Zed";
    QTest::newRow("single-skin: the cow")
        << "tcowmeshskins"
        << QStringList{"warcow", "atomiccow", "COW-face", "T_cow_0", "t_cow_1", "cowpack"}
        << "[public]\nObject=(Name=tcowmeshskins.warcow,Class=Texture)\n"
           "Object=(Name=tcowmeshskins.COW-face,Class=Texture)\n"
           "Object=(Name=tcowmeshskins.T_cow_0,Class=Texture)\n"
           "Object=(Name=tcowmeshskins.t_cow_1,Class=Texture)\n"
           "Object=(Name=TCOWMESHSKINS.cowpack,Class=Texture)\n"
           "Object=(Name=Dogs.warcow,Class=Texture)\nObject=(Name=tcowmeshskins.Gone,Class=Texture)"
        << "talk COW-face, listed t_cow_1, pack cowpack, foreign warcow, missing Gone, "
           "unlisted atomiccow";
    QTest::newRow("single-skin: no skin texture")
        << "Xeno_Red" << QStringList{"Red", "RedFace", "Xeno"}
        << "[public]\nObject=(Name=Xeno_Red.RedFace,Class=Texture)"
        << "talk RedFace, unlisted Red, unlisted Xeno";
}

// Catches a menu rule that finds the wrong thing, at the wrong texture, or misses one.
void TestRules::findings() {
    QFETCH(QString, package);
    QFETCH(QStringList, textures);
    QFETCH(QString, intText);
    QFETCH(QString, found);
    // In the order of the kinds.
    const char* names[] = {"foreign", "missing",   "team", "case", "skin",   "face", "portrait",
                           "lone",    "described", "slot", "talk", "listed", "pack", "unlisted"};
    QStringList findings;
    for (const MenuFinding& finding :
         modelFindings(textures, readIntEntries(intText), package, menuModelOf(package, textures)))
        findings << QString::fromLatin1(names[int(finding.kind)]) + u' ' + finding.texture;
    QCOMPARE(findings.join(QStringLiteral(", ")), found);
}

// Catches a finding told in other words than quorrel-int --check has always used.
void TestRules::findingsInEnglish() {
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
        {{F::ListedTalkPicture, "cowface"},
         "cowface: a talk picture, which the menu lists as a skin"},
        {{F::ListedTeam, "t_cow_0"},
         "t_cow_0: a team texture, which the menu lists as a skin: it leaves out only names "
         "beginning with \"T_\" as written"},
        {{F::ListedPack, "cowpack"}, "cowpack: the model's pack, which the menu lists as a skin"},
        {{F::SkinNotListed, "warcow"}, "warcow: no entry lists the skin; the menu won't list it"},
    };
    for (const auto& [finding, english] : rows)
        QCOMPARE(findingText(finding), QString::fromUtf8(english));
}

// Catches a reader that fails on real packages or reads other names than the byte walk does.
void TestRules::realPackages() {
    if (testpkg::sharedPackages().isEmpty())
        QSKIP("no real packages in " QUORREL_TESTDATA_DIR "; built packages only");
    for (const QString& path : testpkg::sharedPackages()) {
        const QByteArray bytes = testpkg::readFile(path);
        const PackageTables tables = readPackageTables(bytes);
        // These are all version 69, where the walk and the header read the same table.
        QVERIFY2(!walkDifference(walkNames(bytes), tables.names), qPrintable(path));
        QVERIFY2(!textureNames(tables).isEmpty(), qPrintable(path));
    }
}

void TestRules::slots_data() {
    QTest::addColumn<QString>("mesh");
    QTest::addColumn<QStringList>("choice"); // group, face, team
    QTest::addColumn<QStringList>("textures");
    QTest::addColumn<QString>("filled"); // slots 0-3, "-" when missing; "?" when guessed
    // clang-format off
    using L = QStringList;
    // clang-format off
    QTest::newRow("Commando: face, team; a missing team texture falls back") << "commando"
        << L{"cmdo", "blake", "1"} << L{"cmdo1", "cmdo2Blake", "cmdo3T_1", "cmdo4"}
        << "cmdo1 cmdo2Blake cmdo3T_1 cmdo4";
    QTest::newRow("TSkM: no face or team, the group in other case") << "TSkM" << L{"SKRJ", "", "-1"}
        << L{"skrj1", "Skrj2", "Skrj3", "Skrj4"} << "skrj1 Skrj2 Skrj3 Skrj4";
    QTest::newRow("Soldier: team in 0 and 1, face in 3") << "Soldier" << L{"Tig", "Bob", "0"}
        << L{"Tig1T_0", "Tig2T_0", "Tig3", "Tig4Bob", "Tig3T_0"} << "Tig1T_0 Tig2T_0 Tig3 Tig4Bob";
    QTest::newRow("FCommando: the team rule wins slot 0") << "FCommando" << L{"Fem", "Ann", "2"}
        << L{"Fem1", "Fem1T_2", "Fem2T_2", "Fem3", "Fem4Ann"} << "Fem1T_2 Fem2T_2 - Fem4Ann";
    QTest::newRow("Boss: every slot teamed, no face") << "Boss" << L{"Bos", "Xan", "3"}
        << L{"Bos1T_3", "Bos2", "Bos3T_3", "Bos4T_3", "Bos4Xan"} << "Bos1T_3 Bos2 Bos3T_3 Bos4T_3";
    QTest::newRow("Nali: the team texture instead of the skin") << "tnalimesh" << L{"nali", "", "1"}
        << L{"Nali", "T_nali_1"} << "T_nali_1 T_nali_1 T_nali_1 T_nali_1";
    QTest::newRow("cow: the skin everywhere but the pack; no team texture: the skin") << "TCowMesh"
        << L{"warcow", "", "2"} << L{"warcow", "cowpack"} << "warcow warcow cowpack warcow";
    QTest::newRow("single-skin, not the game's: the skin everywhere, no team") << "Xeno"
        << L{"Red", "", "1"} << L{"Red", "T_Red1"} << "Red Red Red Red";
    QTest::newRow("guessed: face at its group's digit, team textures where there are") << "Xeno"
        << L{"Xeno", "zed", "0"} << L{"Xeno1", "Xeno1T_0", "Xeno2", "Xeno3Zed", "Xeno3", "Xeno3T_0"}
        << "Xeno1T_0 Xeno2 Xeno3Zed - ?";
    // clang-format on
}

// Catches a texture in the wrong slot, a fallback not taken, or a guess not said.
void TestRules::slots() {
    QFETCH(QString, mesh);
    QFETCH(QStringList, choice);
    QFETCH(QStringList, textures);
    QFETCH(QString, filled);
    const SkinSlots result = skinSlots(mesh, {choice[0], choice[1], choice[2].toInt()}, textures);
    QStringList names;
    for (const SkinSlot& slot : result.slot)
        names << (slot.missing() ? QStringLiteral("-") : slot.texture);
    if (result.guessed())
        names << QStringLiteral("?");
    QCOMPARE(names.join(u' '), filled);
}

// Catches a portrait, team texture or pack offered as a skin, a skin group missed, or a
// single-skin menu that lists other entries, misnames them or gives them faces.
void TestRules::skins() {
    const QStringList cow{"COW-face", "warcow", "T_cow_0", "cowpack", "warcowface", "Ab1"};
    QCOMPARE(modelSkins(u"tcowmesh", cow), (QStringList{"warcow", "Ab1"}));
    QCOMPARE(modelSkins(u"Soldier", {"Tigr1", "Tigr2", "Leop1", "Tigr4Bob"}),
             (QStringList{"Tigr", "Leop"}));
    QVERIFY(!isSingleSkin(u"Xeno", {"Red", "Xeno1"}) && isSingleSkin(u"Xeno", {"Red", "Xeno"}));
    const MenuModel model = menuModelOf("tcowmeshskins", cow);
    QCOMPARE(model.mesh, "TCowMesh");
    QVERIFY(model.singleSkin);
    QStringList listed;
    for (const MenuSkin& skin :
         listedSkins(readIntEntries(u"[public]\n"
                                    "Object=(Name=tcowmeshskins.Ab1,Class=Texture,Description=A)\n"
                                    "Object=(Name=tcowmeshskins.T_cow_0,Class=Texture)\n"
                                    "Object=(Name=TCowMeshX.t_cow_1,Class=Texture)\n"
                                    "Object=(Name=Cow.warcow,Class=Texture)\n"
                                    "Object=(Name=tcowmeshskins.Ab14Bob,Class=Texture,"
                                    "Description=B)\n"
                                    "Object=(Name=tcowmeshskins.warcow,Class=Palette)"),
                     model))
        listed << skin.package + u'.' + skin.texture + u' ' + skin.description +
                      QString::number(skin.faces.size());
    QCOMPARE(listed, (QStringList{"tcowmeshskins.Ab1 A0", "TCowMeshX.t_cow_1 t_cow_10",
                                  "tcowmeshskins.Ab14Bob B0"}));
    QStringList objects;
    for (const IntObject& object : gameObjects(cow, model, "First", {}))
        objects << object.name + u'=' + object.description.value_or("-");
    QCOMPARE(objects, (QStringList{"warcow=warcow", "Ab1=Ab1"}));
}

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
