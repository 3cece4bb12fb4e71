#include "PackageBuilder.h"

#include "core/GeneratorState.h"
#include "core/IntText.h"
#include "core/PackageScan.h"

#include <QtTest>

using namespace quorrel;
using testpkg::header;
using testpkg::package;
using testpkg::stopMarker;

namespace {

QString lines(const QStringList& objectLines) {
    return QStringLiteral("[public]\r\n\r\n") + objectLines.join(QStringLiteral("\r\n")) +
           QStringLiteral("\r\n");
}

} // namespace

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
    void savedBytes_data();
    void savedBytes();
};

void TestCore::walk_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("complete");

    const QByteArray end("\x00\x10\x00\x07\x00", 5);
    const QByteArray pad = stopMarker() + "pad";
    QTest::newRow("65 bytes: nothing to visit") << QByteArray(65, 'x') << QStringList() << true;
    QTest::newRow("66 bytes: the stop test runs past the end")
        << QByteArray(66, 'x') << QStringList() << false;
    QTest::newRow("names, then the stop marker")
        << package({"None", "Tiger1", "", "Tiger2"}) << QStringList{"None", "Tiger1", "", "Tiger2"}
        << true;
    QTest::newRow("no stop marker keeps the names read so far")
        << package({"None", "Tiger1"}, "abcdefgh") << QStringList{"None", "Tiger1"} << false;
    QTest::newRow("stop marker as the last two bytes")
        << package({"A"}, "xyz" + stopMarker()) << QStringList{"A"} << false;
    QTest::newRow("name-end at N-4 ends normally")
        << header() + "\x05" + "abc" + end << QStringList{"abc"} << true;
    QTest::newRow("name-end at N-2 cannot be tested")
        << header() + "\x05" + "abc" + end.left(3) << QStringList() << false;
    // A marker whose second byte is the last byte a full test may read.
    QTest::newRow("name-end right at the edge of the search")
        << QByteArray(64, '\x01') + QByteArray("\x05"
                                               "abc\x00\x10\x00\x07\x00\x01\x00\x10\x00\x07",
                                               14)
        << QStringList{"abc", ""} << true;
    QTest::newRow("00 10 FF 07 ends a name; 00 10 00 06 does not")
        << header() + "\x05" + "abc" + QByteArray("\x00\x10\xFF\x07\x00\x03", 6) + "d" +
               QByteArray("\x00\x10\x00\x06", 4) + "e" + end + '\0' + pad
        << QStringList{"abc", "d" + QString(QChar(0)) + QChar(0x10) + QChar(0) + QChar(6) + "e"}
        << true;
    QTest::newRow("stop marker inside a name ends the walk")
        << package({"A", "x\x40\x04y"}) << QStringList{"A"} << true;
    QTest::newRow("Windows-1252 characters")
        << package({"\x80uro\xE9\x81"}) << QStringList{QString::fromUtf8("\u20ACuro\u00E9\u0081")}
        << true;
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

    QTest::newRow("pictures follow the mesh name; palettes left out")
        << QStringList{"None", "soldierskins_Tiger", "Tiger2", "Palette12", "Tiger1"}
        << "SoldierSkins" << QStringList{"Tiger1", "Tiger2"};
    QTest::newRow("empty mesh name matches name 0")
        << QStringList{"Zed", "b", "PALETTEx", "a", "palett"} << ""
        << QStringList{"a", "b", "palett"};
    QTest::newRow("first match is the last name")
        << QStringList{"a", "b", "Mesh"} << "mesh" << QStringList();
    QTest::newRow("only the first match starts; shorter names never match")
        << QStringList{"Me", "Mesh", "p1", "MeshAgain"} << "MESH" << QStringList{"MeshAgain", "p1"};
    QTest::newRow("order: no numbers, case ignored, punctuation and digits before letters")
        << QStringList{"m", "Tigr2", "Tigr10", "b", "A", "a_", "a1", "a-", "", "abc", "ABC"} << "m"
        << QStringList{"", "A", "a-", "a_", "a1", "abc", "ABC", "b", "Tigr10", "Tigr2"};
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

void TestCore::nameFields_data() {
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("mesh");
    // package name > mesh name
    for (const QString row :
         {"SoldierSkins_Tiger>SoldierSkins", "a_b_c>a", "Tiger>Tiger", "_Tiger>", ">"})
        QTest::newRow(qPrintable(row)) << row.section(u'>', 0, 0) << row.section(u'>', 1);
}

// Catches a derivation that is wrong, late, or that overrides a hand-edited mesh name when the
// package name has not changed.
void TestCore::nameFields() {
    QFETCH(QString, package);
    QFETCH(QString, mesh);
    GeneratorState state;
    QStringList seen;
    connect(&state, &GeneratorState::packageNameChanged, this, [&] {
        seen = {state.meshName(), state.skinDescription()};
    });
    state.setPackageName(package + u'x');
    state.setPackageName(package);
    QCOMPARE(seen, (QStringList{mesh, package}));
    state.setMeshName(QStringLiteral("edited"));
    state.setPackageName(package); // the same name again: a rescan keeps the edit
    QCOMPARE(state.meshName(), QStringLiteral("edited"));
}

void TestCore::intText_data() {
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("pictures");
    QTest::addColumn<QString>("text");

    QTest::newRow("tiger skin")
        << "SoldierSkins_Tiger"
        << "Tiger Stripes" << QStringList{"Tiger1", "Tiger2", "Tiger4", "Tiger4Grin"}
        << lines({
               R"(Object=(Name=SoldierSkins_Tiger.Tiger1,Class=Texture,Description="Tiger Stripes"))",
               "Object=(Name=SoldierSkins_Tiger.Tiger2,Class=Texture)",
               "Object=(Name=SoldierSkins_Tiger.Tiger4,Class=Texture)",
               R"(Object=(Name=SoldierSkins_Tiger.Tiger4Grin,Class=Texture,Description="Grin"))",
           });
    QTest::newRow("face rules; picture 0 always takes the skin description")
        << "P"
        << "D" << QStringList{"14b", "44a", "4a", "a4", "x4y_z"}
        << lines({R"(Object=(Name=P.14b,Class=Texture,Description="D"))",
                  R"(Object=(Name=P.44a,Class=Texture,Description="4a"))",
                  R"(Object=(Name=P.4a,Class=Texture,Description="a"))",
                  "Object=(Name=P.a4,Class=Texture)", "Object=(Name=P.x4y_z,Class=Texture)"});
    QTest::newRow("empty picture list")
        << "Pkg"
        << "Desc" << QStringList()
        << lines({R"(Object=(Name=Pkg.,Class=Texture,Description="Desc"))"});
    QTest::newRow("nothing escaped")
        << "a\"b,c"
        << "say \"hi\"\rthere" << QStringList{"p"}
        << lines({"Object=(Name=a\"b,c.p,Class=Texture,Description=\"say \"hi\"\rthere\")"});
}

// Catches a wrong INT line, description rule or line end, and Make INT appending to old text.
void TestCore::intText() {
    QFETCH(QString, package);
    QFETCH(QString, description);
    QFETCH(QStringList, pictures);
    QFETCH(QString, text);
    GeneratorState state;
    state.setPackageName(package);
    state.setSkinDescription(description);
    state.setPictures(pictures);
    state.setIntText(QStringLiteral("the user's own edits"));
    MakeInt(state);
    MakeInt(state);
    QCOMPARE(state.intText(), text);
}

void TestCore::savedBytes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty text") << "" << QByteArray("\r\n");
    QTest::newRow("Windows-1252") << QString::fromUtf8("\u20AC\u201Cx\u201D\u00E9\u0081")
                                  << QByteArray("\x80\x93x\x94\xE9\x81\r\n");
    QTest::newRow("no byte for it; a surrogate pair is one character")
        << QString::fromUtf8("a\u4E2Db\U0001F600c") + QChar(0x80) << QByteArray("a?b?c?\r\n");
    QTest::newRow("line ends kept as they are") << "a\rb\nc\r\n" << QByteArray("a\rb\nc\r\n\r\n");
}

// Catches a wrong code page, a byte-order mark, a lost final CR LF or changed line ends.
void TestCore::savedBytes() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(intFileBytes(text), bytes);
}

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
