#include "PackageBuilder.h"

#include "core/GeneratorState.h"
#include "core/IntText.h"
#include "core/PackageScan.h"

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
    void nameFields();
    void intText_data();
    void intText();
};

// The fuzz target compares the walk with a byte-by-byte walk on many more inputs; these rows
// pin down its edges.
void TestCore::walk_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("complete");
    const QByteArray abc = testpkg::header() + "\x05" + "abc" + QByteArray("\x00\x10\x00\x07", 4);
    // clang-format off
    QTest::newRow("65 bytes: nothing to visit") << QByteArray(65, 'x') << QStringList() << true;
    QTest::newRow("names and an empty one, then the stop marker")
        << package({"None", "Tiger1", "", "\x80uro\xE9"})
        << QStringList{"None", "Tiger1", "", QString::fromUtf8("\u20ACuro\u00E9")} << true;
    QTest::newRow("no stop marker keeps the names read so far")
        << package({"None", "Tiger1"}, "abcdefgh") << QStringList{"None", "Tiger1"} << false;
    QTest::newRow("stop marker as the last two bytes")
        << package({"A"}, "xyz" + testpkg::stopMarker()) << QStringList{"A"} << false;
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
    GeneratorState state;
    state.setPictures(selectPictures(names, mesh));
    QCOMPARE(state.pictures(), pictures);
}

// Catches a derivation that is wrong, late, or that overrides a hand-edited mesh on a rescan.
void TestCore::nameFields() {
    // package name > mesh name
    for (const QString row : {"Soldier_Tiger>Soldier", "a_b_c>a", "Tiger>Tiger", "_T>", ">"}) {
        const QString package = row.section(u'>', 0, 0), mesh = row.section(u'>', 1);
        GeneratorState state;
        QString seen;
        connect(&state, &GeneratorState::packageNameChanged, this,
                [&] { seen = state.meshName() + u'|' + state.skinDescription(); });
        state.setPackageName(package + u'x');
        state.setPackageName(package);
        QCOMPARE(seen, mesh + u'|' + package);
        state.setMeshName(QStringLiteral("edited"));
        state.setPackageName(package); // the same name again: a rescan keeps the edit
        QCOMPARE(state.meshName(), QStringLiteral("edited"));
    }
}

void TestCore::intText_data() {
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("pictures");
    QTest::addColumn<QStringList>("objects"); // each line less "Object=(Name=" and ")\r\n"
    // clang-format off
    QTest::newRow("tiger skin") << "SoldierSkins_Tiger" << "Tiger Stripes"
        << QStringList{"Tiger1", "Tiger2", "Tiger4Grin"}
        << QStringList{"SoldierSkins_Tiger.Tiger1,Class=Texture,Description=\"Tiger Stripes\"",
                       "SoldierSkins_Tiger.Tiger2,Class=Texture",
                       "SoldierSkins_Tiger.Tiger4Grin,Class=Texture,Description=\"Grin\""};
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

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
