#include "PackageBuilder.h"
#include "TestFiles.h"

#include "core/PackageReader.h"
#include "core/SkinMenu.h"

#include <QTest>

using namespace quorrel;

class TestPackageReader : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reads_data();
    void reads();
    void failsCleanly_data();
    void failsCleanly();
    void realPackages();
};

void TestPackageReader::reads_data() {
    QTest::addColumn<int>("version");
    for (int version : {61, 64, 69})
        QTest::newRow(qPrintable(QStringLiteral("version %1").arg(version))) << version;
}

// Catches names read without regard to the version, a misread header, a class resolved wrongly.
void TestPackageReader::reads() {
    QFETCH(int, version);
    const QByteArray bytes = testpkg::realPackage({{"Tigr1"},
                                                   {"Pal", "Palette"},
                                                   {"Fire4Bob", "FireTexture", "Fire"},
                                                   {"Tigr2", "MyTex", ""},
                                                   {"MyTex", "Class", ""}},
                                                  quint16(version));
    const PackageRead read = readPackageTables(bytes);
    QVERIFY2(read.ok(), qPrintable(read.failure));
    QCOMPARE(read.tables->version, version);
    QCOMPARE(read.tables->names.first(), QStringLiteral("None"));
    QStringList exports;
    for (const PackageExport& object : read.tables->exports)
        exports << object.objectName + u':' + object.className;
    QCOMPARE(exports, (QStringList{"Tigr1:Texture", "Pal:Palette", "Fire4Bob:FireTexture",
                                   "Tigr2:MyTex", "MyTex:Class"}));
    QCOMPARE(textureNames(*read.tables), (QStringList{"Tigr1", "Fire4Bob"}));
    QCOMPARE(walkDifference(walkNames(bytes), read.tables->names).isEmpty(), version >= 64);
}

void TestPackageReader::failsCleanly_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray good = testpkg::realPackage({{"Tigr1"}, {"Tigr2"}});
    auto patched = [&](qsizetype at, quint32 value) {
        QByteArray bytes = good;
        testpkg::setU32(bytes, at, value);
        return bytes;
    };
    QTest::newRow("no signature") << QByteArray("\xC1\x83\x2A", 3) << "signature";
    QTest::newRow("header cut") << good.left(40) << "the GUID at byte 36 runs past the end";
    QTest::newRow("name count beyond the file") << patched(12, 0x7FFFFFFF) << "name count";
    QTest::newRow("negative export count") << patched(20, 0xFFFFFFFF) << "negative";
    QTest::newRow("names past the end") << patched(16, 0x7FFFFFF0) << "past the end";
    QTest::newRow("generations beyond the header") << patched(52, 1000) << "generation count";
    QTest::newRow("name table cut") << good.left(110) << "a name at byte 109 runs past the end";
    QByteArray sixBytes = good;
    sixBytes.replace(64, 6, "\x7F\xFF\xFF\xFF\xFF\x01");
    QTest::newRow("compact index of six bytes") << sixBytes << "longer than five bytes";
    QByteArray badClass = good;
    badClass[qFromLittleEndian<qint32>(good.constData() + 24)] = 0x3F;
    QTest::newRow("export class out of range") << badClass << "export 0 refers to object 63";
}

// Catches a read outside the buffer, a huge allocation from a hostile count, or damage let pass.
void TestPackageReader::failsCleanly() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    const PackageRead read = readPackageTables(bytes);
    QVERIFY(!read.ok());
    QVERIFY2(read.failure.contains(reason), qPrintable(read.failure));
}

// Catches a reader that fails on real packages or disagrees with their header's name count.
void TestPackageReader::realPackages() {
    QUORREL_SKIP_WITHOUT_SHARED_PACKAGES();
    for (const QString& path : testpkg::sharedPackages()) {
        const QByteArray bytes = testpkg::readFile(path);
        const PackageRead read = readPackageTables(bytes);
        QVERIFY2(read.ok(), qPrintable(read.failure));
        QCOMPARE(read.tables->names.size(), qFromLittleEndian<qint32>(bytes.constData() + 12));
        QVERIFY(!textureNames(*read.tables).isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestPackageReader)
#include "tst_packagereader.moc"
