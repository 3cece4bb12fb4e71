#include "PackageBuilder.h"
#include "WorkflowFixture.h"

#include "core/GeneratorState.h"
#include "workflows/CommonDialog.h"
#include "workflows/Workflows.h"

#include <QElapsedTimer>

using namespace quorrel;

// The worst files a user can pick, through the real Open workflow. Each ends in the scan's result
// or in "No files Selected", quickly, and the tool opens a good package right afterwards.
class TestHostileFiles : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void sparseFileFarLargerThanMemory();
    void hundredsOfMegabytesOfZeros();
    void oneNameRunningToTheEnd();
    void fileChangedBetweenDialogAndRead_data();
    void fileChangedBetweenDialogAndRead();
    void nonAsciiPathWithSpaces();

private:
    // Opens `path`, checks how it ended and how long it took, then proves the tool still works.
    void open(const QString& path, bool expectFailure, std::function<void()> then = {}) {
        QElapsedTimer timer;
        timer.start();
        env->files.chooseNext(path, std::move(then));
        FindFiles(env->state, env->dialog, env->boxes);
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(env->boxes.shown.size(), expectFailure ? 1 : 0);
        if (expectFailure)
            QCOMPARE(env->boxes.shown.takeFirst().text, QStringLiteral("No files Selected"));
    }
    QString sparse(const QString& name, qint64 size) {
        const QString path = env->dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(size))
            return QString();
        return path;
    }

    std::unique_ptr<WorkflowFixture> env;
};

void TestHostileFiles::init() {
    env = std::make_unique<WorkflowFixture>();
}

void TestHostileFiles::cleanup() {
    // Still usable: a good package opens as if nothing had happened.
    const QString good = testpkg::writeFile(env->dir, QStringLiteral("Good_Skin.utx"),
                                            testpkg::package({"good", "Pic2", "Pic1"}));
    open(good, false);
    QCOMPARE(env->state.pictures(), (QStringList{"Pic1", "Pic2"}));
    QVERIFY(env->state.makeIntEnabled());
    env.reset();
}

void TestHostileFiles::sparseFileFarLargerThanMemory() {
    const QString path = sparse(QStringLiteral("Huge_Skin.utx"), qint64(1) << 40); // 1 TiB
    if (path.isEmpty())
        QSKIP("this file system cannot hold a 1 TiB sparse file");
    open(path, true);
    QCOMPARE(env->state.packageName(), QStringLiteral("Huge_Skin"));
    QCOMPARE(env->state.nameCount(), 0);
    QVERIFY(!env->state.makeIntEnabled());
}

void TestHostileFiles::hundredsOfMegabytesOfZeros() {
    const QString path = sparse(QStringLiteral("Zero_Skin.utx"), qint64(300) << 20);
    QVERIFY(!path.isEmpty());
    open(path, true); // no marker at all: the walk runs into the end of the file
    QCOMPARE(env->state.nameCount(), 0);
    QVERIFY(!env->state.makeIntEnabled());
}

void TestHostileFiles::oneNameRunningToTheEnd() {
    QByteArray bytes = testpkg::header();
    bytes.append('\x05');
    bytes.append(QByteArray(100 << 20, 'a'));
    bytes.append("\x00\x10\x00\x07\x00\x00\x40\x04\x00", 9);
    open(testpkg::writeFile(env->dir, QStringLiteral("a_Long.utx"), bytes), false);
    QCOMPARE(env->state.nameCount(), 1);
    QCOMPARE(env->state.nameAt(0).size(), 100 << 20);
    QCOMPARE(env->state.pictureCount(), 0); // the one name matches "a" and is the last
    bytes.clear();
}

void TestHostileFiles::fileChangedBetweenDialogAndRead_data() {
    QTest::addColumn<QString>("change");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("deleted") << "delete" << QStringList();
    QTest::newRow("truncated to nothing") << "empty" << QStringList();
    QTest::newRow("truncated mid-table") << "cut" << QStringList{"mesh", "Pic1"};
}

void TestHostileFiles::fileChangedBetweenDialogAndRead() {
    QFETCH(QString, change);
    QFETCH(QStringList, names);
    const QByteArray bytes = testpkg::package({"mesh", "Pic1", "Pic2", "Pic3"});
    const QString path = testpkg::writeFile(env->dir, QStringLiteral("mesh_Skin.utx"), bytes);
    open(path, true, [&] {
        if (change == QLatin1String("delete"))
            QFile::remove(path);
        else
            QFile::resize(path, change == QLatin1String("empty") ? 0 : bytes.indexOf("Pic2") + 2);
    });
    QCOMPARE(env->state.packageName(), QStringLiteral("mesh_Skin"));
    QCOMPARE(env->state.names(), names);
    QCOMPARE(env->state.makeIntEnabled(), !names.isEmpty());
}

void TestHostileFiles::nonAsciiPathWithSpaces() {
    QVERIFY(QDir(env->dir.path()).mkdir(QString::fromUtf8("Skins \u00FCn\u00EFc\u00F6d\u00E9")));
    const QString name =
        QString::fromUtf8("Skins \u00FCn\u00EFc\u00F6d\u00E9/M\u00E9sh_\u00DCber Skin.utx");
    open(testpkg::writeFile(env->dir, name, testpkg::package({"m\xE9sh", "P1"})), false);
    QCOMPARE(env->state.packageName(), QString::fromUtf8("M\u00E9sh_\u00DCber Skin"));
    QCOMPARE(env->state.meshName(), QString::fromUtf8("M\u00E9sh"));
    QCOMPARE(env->state.pictures(), QStringList{"P1"});
}

QTEST_GUILESS_MAIN(TestHostileFiles)
#include "tst_hostilefiles.moc"
