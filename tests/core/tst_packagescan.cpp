#include "PackageBuilder.h"
#include "ReferenceWalk.h"

#include "core/GeneratorState.h"
#include "core/PackageScan.h"

#include <QRandomGenerator>

#include <QSignalSpy>
#include <QtEndian>

using namespace quorrel;
using testpkg::package;

namespace {

// The names a real package's header declares, read the way the game reads its name table.
QStringList declaredNames(const QByteArray& bytes) {
    const auto* data = reinterpret_cast<const uchar*>(bytes.constData());
    const qint32 count = qFromLittleEndian<qint32>(data + 12);
    qsizetype pos = qFromLittleEndian<qint32>(data + 16);
    QStringList names;
    for (qint32 n = 0; n < count; ++n) {
        // Compact index: 6 bits in the first byte, 7 in each further one.
        uchar b = data[pos++];
        qint32 length = b & 0x3F;
        int shift = 6;
        for (bool more = b & 0x40; more; shift += 7) {
            b = data[pos++];
            length |= qint32(b & 0x7F) << shift;
            more = b & 0x80;
        }
        names.append(QString::fromLatin1(bytes.mid(pos, length - 1)));
        pos += length + 4;
    }
    return names;
}

} // namespace

class TestPackageScan : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void walk_data();
    void walk();
    void walkDecodesWindows1252();
    void walkMatchesTheByteByByteWalk();
    void selection_data();
    void selection();
    void parseFileSuccess();
    void parseFileUnreadable_data();
    void parseFileUnreadable();
    void parseFileFailsPartWay();
    void secondScanStartsClean();
    void realPackages_data();
    void realPackages();
};

void TestPackageScan::walk_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("complete");

    const QByteArray end = QByteArray("\x00\x10\x00\x07\x00", 5);
    const QByteArray slot(1, 0); // where the next length byte would stand
    QTest::newRow("0 bytes") << QByteArray() << QStringList() << true;
    QTest::newRow("65 bytes, nothing to visit") << QByteArray(65, 'x') << QStringList() << true;
    QTest::newRow("66 bytes, stop test runs past the end")
        << QByteArray(66, 'x') << QStringList() << false;
    QTest::newRow("names then stop marker")
        << package({"None", "Tiger1", "Tiger2"}) << QStringList{"None", "Tiger1", "Tiger2"} << true;
    QTest::newRow("no stop marker keeps names read so far")
        << package({"None", "Tiger1"}, "abcdefgh") << QStringList{"None", "Tiger1"} << false;
    QTest::newRow("stop marker with one byte after it")
        << package({"A"}, "xyz" + testpkg::stopMarker() + "!") << QStringList{"A"} << true;
    // The position before it already needs a byte past the end for its name-end test.
    QTest::newRow("stop marker as the last two bytes")
        << package({"A"}, "xyz" + testpkg::stopMarker()) << QStringList{"A"} << false;
    QTest::newRow("lone 0x40 as the last byte")
        << package({"A"}, "xyz\x40") << QStringList{"A"} << false;
    QTest::newRow("stop marker before the first name")
        << testpkg::header() + 'x' + testpkg::stopMarker() + "abc" << QStringList() << true;
    // Name-end markers near the end: at N-4 (1-based) the next position is N+2.
    QTest::newRow("name-end at N-4 ends normally")
        << testpkg::header() + "\x05" + "abc" + end << QStringList{"abc"} << true;
    QTest::newRow("name-end at N-3 ends normally")
        << testpkg::header() + "\x05" + "abc" + end.left(4) << QStringList{"abc"} << true;
    QTest::newRow("name-end at N-2 cannot be tested")
        << testpkg::header() + "\x05" + "abc" + end.left(3) << QStringList() << false;
    QTest::newRow("00 10 FF 07 ends a name")
        << testpkg::header() + "\x05" + "abc" + QByteArray("\x00\x10\xFF\x07\x00\x03", 6) + "de" +
               end + slot + testpkg::stopMarker() + "pad"
        << QStringList{"abc", "de"} << true;
    QTest::newRow("00 10 00 06 joins the name")
        << testpkg::header() + "\x05" + "abc" + QByteArray("\x00\x10\x00\x06", 4) + "de" + end +
               slot + testpkg::stopMarker() + "pad"
        << QStringList{QStringLiteral("abc") + QChar(0) + QChar(0x10) + QChar(0) + QChar(6) + "de"}
        << true;
    QTest::newRow("empty name in the table")
        << package({"A", "", "B"}) << QStringList{"A", "", "B"} << true;
    QTest::newRow("stop marker inside a name ends the walk")
        << package({"A", "x\x40\x04y"}) << QStringList{"A"} << true;
    QTest::newRow("0x40 without 0x04 is a character")
        << package({"a\x40\x05"}) << QStringList{"a\x40\x05"} << true;
}

void TestPackageScan::walk() {
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, names);
    QFETCH(bool, complete);
    const NameWalk result = walkNames(bytes);
    QCOMPARE(result.names, names);
    QCOMPARE(result.complete, complete);
}

void TestPackageScan::walkDecodesWindows1252() {
    const NameWalk result = walkNames(package({"\x80uro\xE9\x81"}));
    QCOMPARE(result.names, QStringList{QString::fromUtf8("\u20ACuro\u00E9\u0081")});
}

void TestPackageScan::walkMatchesTheByteByByteWalk() {
    // Random files made mostly of marker bytes, so markers overlap, touch and sit at every edge.
    QRandomGenerator random(20261206);
    const char alphabet[] = {0x00, 0x10, 0x07, 0x40, 0x04, 'a', char(0xE9), char(0x80)};
    for (int round = 0; round < 4000; ++round) {
        QByteArray bytes(64 + random.bounded(40), '\x01');
        const int tail = random.bounded(60);
        for (int k = 0; k < tail; ++k)
            bytes.append(alphabet[random.bounded(int(sizeof alphabet))]);
        const NameWalk expected = walkOneByteAtATime(bytes);
        const NameWalk actual = walkNames(bytes);
        QCOMPARE(actual.complete, expected.complete);
        QCOMPARE(actual.names, expected.names);
    }
}

void TestPackageScan::selection_data() {
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("mesh");
    QTest::addColumn<QStringList>("pictures");

    QTest::newRow("mesh name starts the walk; palettes left out")
        << QStringList{"None", "soldierskins_Tiger", "Tiger1", "Palette12", "Tiger2"}
        << "SoldierSkins" << QStringList{"Tiger1", "Tiger2"};
    QTest::newRow("empty mesh name matches name 0")
        << QStringList{"Zed", "b", "PALETTEx", "a", "palett"} << ""
        << QStringList{"b", "a", "palett"};
    QTest::newRow("first match is the last name")
        << QStringList{"a", "b", "Mesh"} << "mesh" << QStringList();
    QTest::newRow("no match") << QStringList{"a", "b"} << "mesh" << QStringList();
    QTest::newRow("only the first match starts a walk; later matches are pictures")
        << QStringList{"x", "Mesh", "p1", "MeshAgain", "p2"} << "MESH"
        << QStringList{"p1", "MeshAgain", "p2"};
    QTest::newRow("name shorter than the mesh name does not match")
        << QStringList{"Me", "Mesh1", "p"} << "Mesh" << QStringList{"p"};
    QTest::newRow("empty names are pictures too")
        << QStringList{"m", "", "q"} << "m" << QStringList{"", "q"};
}

void TestPackageScan::selection() {
    QFETCH(QStringList, names);
    QFETCH(QString, mesh);
    QFETCH(QStringList, pictures);
    QCOMPARE(selectPictures(names, mesh), pictures);
}

void TestPackageScan::parseFileSuccess() {
    QTemporaryDir dir;
    GeneratorState state;
    state.setPackageName(QStringLiteral("SoldierSkins_Tiger"));
    const QString path = testpkg::writeFile(
        dir, QStringLiteral("SoldierSkins_Tiger.utx"),
        package({"None", "soldierskins_Tiger", "Tiger2", "Palette12", "tiger10", "Tiger1"}));
    ParseFile(state, path);
    QCOMPARE(state.nameCount(), 6);
    QCOMPARE(state.pictures(), (QStringList{"Tiger1", "tiger10", "Tiger2"}));
    QCOMPARE(state.countText(), QStringLiteral("3 pics found"));
    QVERIFY(state.makeIntEnabled());

    // Shorter than 66 bytes: nothing to walk, and still a success.
    ParseFile(state, testpkg::writeFile(dir, QStringLiteral("short.utx"), QByteArray(40, 'x')));
    QCOMPARE(state.nameCount(), 0);
    QCOMPARE(state.pictureCount(), 0);
    QCOMPARE(state.countText(), QStringLiteral("0 pics found"));
    QVERIFY(state.makeIntEnabled());
}

void TestPackageScan::parseFileUnreadable_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("reason");
    QTest::newRow("0 bytes") << "empty" << int(ScanFailure::Reason::Empty);
    QTest::newRow("missing") << "missing" << int(ScanFailure::Reason::Missing);
    QTest::newRow("folder") << "folder" << int(ScanFailure::Reason::NotAFile);
    QTest::newRow("empty path") << "nopath" << int(ScanFailure::Reason::Missing);
}

void TestPackageScan::parseFileUnreadable() {
    QFETCH(QString, kind);
    QFETCH(int, reason);
    QTemporaryDir dir;
    GeneratorState state;
    state.setPackageName(QStringLiteral("m_x"));
    ParseFile(state, testpkg::writeFile(dir, QStringLiteral("good.utx"), package({"m", "b", "a"})));
    const QStringList names = state.names();
    const QStringList pictures = state.pictures();

    QString path = dir.filePath(QStringLiteral("bad.utx"));
    if (kind == QLatin1String("empty"))
        testpkg::writeFile(dir, QStringLiteral("bad.utx"), QByteArray());
    else if (kind == QLatin1String("folder"))
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("bad.utx")));
    else if (kind == QLatin1String("nopath"))
        path.clear();

    QSignalSpy namesSpy(&state, &GeneratorState::namesChanged);
    try {
        ParseFile(state, path);
        QFAIL("the scan should have failed");
    } catch (const ScanFailure& failure) {
        QCOMPARE(int(failure.reason()), reason);
    }
    QCOMPARE(namesSpy.count(), 0);
    QCOMPARE(state.names(), names);
    QCOMPARE(state.pictures(), pictures);
    QCOMPARE(state.countText(), QStringLiteral("2 pics found"));
}

void TestPackageScan::parseFileFailsPartWay() {
    QTemporaryDir dir;
    GeneratorState state;
    state.setPackageName(QStringLiteral("Old_Skin"));
    ParseFile(state, testpkg::writeFile(dir, QStringLiteral("Old_Skin.utx"),
                                        package({"old", "OldPic1", "OldPic2"})));
    QCOMPARE(state.pictureCount(), 2);

    state.setPackageName(QStringLiteral("New_Skin"));
    state.setMakeIntEnabled(false);
    const QString path = testpkg::writeFile(dir, QStringLiteral("New_Skin.utx"),
                                            package({"new", "NewPic"}, "no end marker"));
    try {
        ParseFile(state, path);
        QFAIL("the scan should have failed");
    } catch (const ScanFailure& failure) {
        QCOMPARE(failure.reason(), ScanFailure::Reason::NoEndMarker);
    }
    QCOMPARE(state.names(), (QStringList{"new", "NewPic"}));
    // The old package's pictures must not survive under the new package's name.
    QCOMPARE(state.pictureCount(), 0);
    QCOMPARE(state.countText(), QStringLiteral("0 pics found"));
    QVERIFY(!state.makeIntEnabled());
}

void TestPackageScan::secondScanStartsClean() {
    QTemporaryDir dir;
    GeneratorState state;
    state.setPackageName(QStringLiteral("m"));
    // The first file ends in the middle of a name; none of its characters may reach the next scan.
    ParseFile(state, testpkg::writeFile(dir, QStringLiteral("a.utx"),
                                        package({"m", "p1"}, "leftover\x40\x04!")));
    QCOMPARE(state.names(), (QStringList{"m", "p1"}));
    ParseFile(state, testpkg::writeFile(dir, QStringLiteral("b.utx"), package({"q", "m", "p2"})));
    QCOMPARE(state.names(), (QStringList{"q", "m", "p2"}));
    QCOMPARE(state.pictures(), QStringList{"p2"});
}

void TestPackageScan::realPackages_data() {
    QTest::addColumn<QString>("file");
    for (const char* file : {"BuildingGraphics.utx", "ConstructorTex.utx", "JetpackTex.utx",
                             "SiegeStats.utx", "XC_Orb.utx"})
        QTest::newRow(file) << QString::fromLatin1(file);
}

void TestPackageScan::realPackages() {
    QFETCH(QString, file);
    const QString path = testpkg::testdata(file);
    const QByteArray bytes = testpkg::readFile(path);
    QVERIFY2(!bytes.isEmpty(), qPrintable(path));
    const QStringList declared = declaredNames(bytes);
    QVERIFY(declared.size() >= 30);

    GeneratorState fresh;
    fresh.setPackageName(file.chopped(4));
    ParseFile(fresh, path);
    QVERIFY(fresh.nameCount() >= declared.size());
    QCOMPARE(fresh.names().mid(0, declared.size()), declared);

    // After another package has been scanned in the same state, the result is the same.
    GeneratorState reused;
    reused.setPackageName(QStringLiteral("XC_Orb"));
    ParseFile(reused, testpkg::testdata(QStringLiteral("XC_Orb.utx")));
    reused.setPackageName(file.chopped(4));
    ParseFile(reused, path);
    QCOMPARE(reused.names(), fresh.names());
    QCOMPARE(reused.pictures(), fresh.pictures());
    QCOMPARE(reused.countText(), fresh.countText());
}

QTEST_GUILESS_MAIN(TestPackageScan)
#include "tst_packagescan.moc"
