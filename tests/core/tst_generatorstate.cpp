#include "core/GeneratorState.h"
#include "core/PictureOrder.h"
#include "core/Windows1252.h"

#include <QSignalSpy>
#include <QtTest>

using namespace quorrel;

class TestGeneratorState : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initialValues();
    void nameFields_data();
    void nameFields();
    void derivationHappensBeforeTheSetterReturns();
    void listRules();
    void pictureOrder_data();
    void pictureOrder();
    void windows1252RoundTrip();
    void windows1252Encode_data();
    void windows1252Encode();
};

void TestGeneratorState::initialValues() {
    const GeneratorState state;
    QCOMPARE(state.packageName(), QStringLiteral("UTX Name"));
    QCOMPARE(state.meshName(), QStringLiteral("Mesh Name"));
    QCOMPARE(state.skinDescription(), QStringLiteral("Skin Description"));
    QCOMPARE(state.nameCount(), 0);
    QCOMPARE(state.pictureCount(), 0);
    QCOMPARE(state.countText(), QStringLiteral(" 0 pics found"));
    QVERIFY(!state.makeIntEnabled());
    QVERIFY(state.intText().isEmpty());
    QVERIFY(state.infoText().isEmpty());
    QVERIFY(!state.infoPanelShown());
}

void TestGeneratorState::nameFields_data() {
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("mesh");
    QTest::newRow("mesh and skin") << "SoldierSkins_Tiger"
                                   << "SoldierSkins";
    QTest::newRow("first underscore counts") << "a_b_c"
                                             << "a";
    QTest::newRow("no underscore") << "Tiger"
                                   << "Tiger";
    QTest::newRow("leading underscore") << "_Tiger"
                                        << "";
    QTest::newRow("trailing underscore") << "Tiger_"
                                         << "Tiger";
    QTest::newRow("cleared") << ""
                             << "";
}

void TestGeneratorState::nameFields() {
    QFETCH(QString, package);
    QFETCH(QString, mesh);
    GeneratorState state;
    state.setMeshName(QStringLiteral("edited by the user"));
    state.setSkinDescription(QStringLiteral("edited too"));
    state.setPackageName(package);
    QCOMPARE(state.meshName(), mesh);
    QCOMPARE(state.skinDescription(), package);
}

void TestGeneratorState::derivationHappensBeforeTheSetterReturns() {
    GeneratorState state;
    QStringList seen;
    // Whoever hears of the new package name already sees the derived fields.
    connect(&state, &GeneratorState::packageNameChanged, this,
            [&] { seen << state.packageName() << state.meshName() << state.skinDescription(); });
    state.setPackageName(QStringLiteral("Mesh_Skin"));
    QCOMPARE(seen, (QStringList{"Mesh_Skin", "Mesh", "Mesh_Skin"}));
}

void TestGeneratorState::listRules() {
    GeneratorState state;
    QSignalSpy pictureSpy(&state, &GeneratorState::picturesChanged);
    for (const char* item : {"b", "A", "c", "a"}) {
        state.addName(QString::fromLatin1(item));
        state.addPicture(QString::fromLatin1(item));
    }
    QCOMPARE(state.names(), (QStringList{"b", "A", "c", "a"}));
    QCOMPARE(state.pictures(), (QStringList{"A", "a", "b", "c"}));
    QCOMPARE(pictureSpy.count(), 4);
    QCOMPARE(state.pictureAt(0), QStringLiteral("A"));
    QCOMPARE(state.pictureAt(4), QString());
    QCOMPARE(state.pictureAt(-1), QString());
    QCOMPARE(state.nameAt(99), QString());

    // A whole list at once gives what adding one by one gives.
    state.setPictures({"b", "A", "c", "a"});
    QCOMPARE(state.pictures(), (QStringList{"A", "a", "b", "c"}));
    state.addName(QStringLiteral("b"));
    QCOMPARE(state.nameCount(), 5); // duplicates stay
    state.clearNames();
    state.clearPictures();
    QCOMPARE(state.nameCount() + state.pictureCount(), 0);
}

void TestGeneratorState::pictureOrder_data() {
    QTest::addColumn<QStringList>("added");
    QTest::addColumn<QStringList>("sorted");
    QTest::newRow("no numeric ordering")
        << QStringList{"Tigr2", "Tigr10", "Tigr1"} << QStringList{"Tigr1", "Tigr10", "Tigr2"};
    QTest::newRow("case ignored") << QStringList{"b", "A", "c"} << QStringList{"A", "b", "c"};
    QTest::newRow("digits before letters")
        << QStringList{"a", "Z", "9", "0"} << QStringList{"0", "9", "a", "Z"};
    QTest::newRow("digit before letter inside a name")
        << QStringList{"xa", "x1"} << QStringList{"x1", "xa"};
    QTest::newRow("punctuation before digits")
        << QStringList{"a1", "a_", "a-"} << QStringList{"a-", "a_", "a1"};
    QTest::newRow("prefix first") << QStringList{"Tiger4Grin", "Tiger4", "Tiger"}
                                  << QStringList{"Tiger", "Tiger4", "Tiger4Grin"};
    QTest::newRow("equal but for case keep their order")
        << QStringList{"abc", "ABC", "Abc"} << QStringList{"abc", "ABC", "Abc"};
    QTest::newRow("empty name first") << QStringList{"a", ""} << QStringList{"", "a"};
}

void TestGeneratorState::pictureOrder() {
    QFETCH(QStringList, added);
    QFETCH(QStringList, sorted);
    QStringList oneByOne;
    for (const QString& item : added)
        insertPicture(oneByOne, item);
    QCOMPARE(oneByOne, sorted);
    QStringList atOnce = added;
    sortPictures(atOnce);
    QCOMPARE(atOnce, sorted);
}

void TestGeneratorState::windows1252RoundTrip() {
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString text = windows1252::decode(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x92), QChar(0x2019));
    QCOMPARE(text.at(0x9F), QChar(0x0178));
    for (int undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D})
        QCOMPARE(text.at(undefined), QChar(undefined));
    QCOMPARE(text.at(0xE9), QChar(0xE9));
    QCOMPARE(windows1252::encode(text), all);
}

void TestGeneratorState::windows1252Encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << "Object=(Name=a.b)" << QByteArray("Object=(Name=a.b)");
    QTest::newRow("euro and quotes")
        << QString::fromUtf8("\u20AC\u201Cx\u201D") << QByteArray("\x80\x93x\x94");
    QTest::newRow("no byte for it") << QString::fromUtf8("a\u4E2Db") << QByteArray("a?b");
    QTest::newRow("C1 control without a 1252 byte") << QString(QChar(0x80)) << QByteArray("?");
    QTest::newRow("surrogate pair is one character")
        << QString::fromUtf8("a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << QByteArray("?");
}

void TestGeneratorState::windows1252Encode() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(windows1252::encode(text), bytes);
}

QTEST_GUILESS_MAIN(TestGeneratorState)
#include "tst_generatorstate.moc"
