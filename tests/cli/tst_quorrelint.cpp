#include "PackageBuilder.h"
#include "TestFiles.h"

#include <QProcess>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

namespace {

struct Run {
    int status = -1; // -1: crashed or hung
    QByteArray out;
    QString err;
};

Run quorrelInt(const QStringList& arguments, const std::function<void(QProcess&)>& setUp = {}) {
    QProcess process;
    if (setUp)
        setUp(process);
    process.start(QStringLiteral(QUORREL_INT), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray manyPictures(int count) {
    QList<QByteArray> names{"None", "big"};
    for (int i = 0; i < count; ++i)
        names << "Picture" + QByteArray::number(i);
    return testpkg::package(names);
}

} // namespace

class TestQuorrelInt : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void badPackages();
    void failedWrites_data();
    void failedWrites();
};

// Catches a bad package that stops the others, writes a partial .int or fails without a word.
void TestQuorrelInt::badPackages() {
    QTemporaryDir dir;
    const QString good =
        testpkg::writeFile(dir, QStringLiteral("Good_Skin.utx"), testpkg::package({"good", "p"}));
    const QString cut =
        testpkg::writeFile(dir, QStringLiteral("Cut_Skin.utx"), testpkg::package({"cut"}, "xyz"));
    const QString missing = dir.filePath(QStringLiteral("Missing_Skin.utx"));
    const Run run = quorrelInt({missing, good, cut});
    QCOMPARE(run.status, 1);
    QCOMPARE(run.err.split(u'\n', Qt::SkipEmptyParts),
             (QStringList{"quorrel-int: " + missing + ": missing",
                          "quorrel-int: " + cut +
                              ": the scan reached the end of the file without its end marker"}));
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.int")}), QStringList{"Good_Skin.int"});
    QCOMPARE(quorrelInt({QStringLiteral("--mesh"), QStringLiteral("m"), good, cut}).status, 2);
}

void TestQuorrelInt::failedWrites_data() {
    QTest::addColumn<QString>("into"); // "disk": a full disk; "device": /dev/full; "pipe": closed
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("pictures");
    QTest::newRow("full disk, real-sized text") << "disk" << QStringList{"--output", "OUT"} << 3;
    QTest::newRow("full disk, text beyond Qt's buffer")
        << "disk" << QStringList{"--output", "OUT"} << 2000;
    QTest::newRow("--list into a full device") << "device" << QStringList{"--list"} << 3;
    QTest::newRow("--output - into a full device") << "device" << QStringList{"-o", "-"} << 3;
    QTest::newRow("--help into a full device") << "device" << QStringList{"--help"} << 3;
    QTest::newRow("--list into a closed pipe") << "pipe" << QStringList{"--list"} << 3;
    QTest::newRow("--output - into a closed pipe") << "pipe" << QStringList{"-o", "-"} << 3;
}

// Catches a failed write that exits 0, dies silently, or loses the previous .int.
void TestQuorrelInt::failedWrites() {
#ifdef Q_OS_WIN
    QSKIP("no full device, closed pipe or tmpfs to fill on Windows");
#else
    QFETCH(QString, into);
    QFETCH(QStringList, arguments);
    QFETCH(int, pictures);
    QTemporaryDir dir;
    const QString package =
        testpkg::writeFile(dir, QStringLiteral("Big_Skin.utx"), manyPictures(pictures));
    const QString out = dir.filePath(QStringLiteral("out"));
    arguments.replaceInStrings(QStringLiteral("OUT"), out);
    std::optional<testpkg::FullDisk> disk;
    if (into == QLatin1String("disk")) {
        disk.emplace(out);
        if (!disk->mounted())
            QSKIP("cannot mount a small tmpfs here (needs root); no disk to fill");
        disk->fillBeside(QStringLiteral("Big_Skin.int"), "old\r\n");
    }
    const QStringList before = QDir(out).entryList(QDir::Files);
    int pipeEnds[2] = {-1, -1};
    if (into == QLatin1String("pipe")) {
        QCOMPARE(pipe(pipeEnds), 0);
        ::close(pipeEnds[0]); // nobody will ever read
    }
    const Run run = quorrelInt(arguments << package, [&](QProcess& process) {
        if (into == QLatin1String("device"))
            process.setStandardOutputFile(QStringLiteral("/dev/full"));
        if (into == QLatin1String("pipe"))
            process.setChildProcessModifier([&] { ::dup2(pipeEnds[1], 1); });
    });
    if (pipeEnds[1] >= 0)
        ::close(pipeEnds[1]);
    QCOMPARE(run.status, 1);
    QVERIFY2(run.err.contains(QStringLiteral(": could not write")), qPrintable(run.err));
    if (into == QLatin1String("disk")) {
        QCOMPARE(testpkg::readFile(out + QStringLiteral("/Big_Skin.int")), QByteArray("old\r\n"));
        QCOMPARE(QDir(out).entryList(QDir::Files), before);
    }
#endif
}

QTEST_GUILESS_MAIN(TestQuorrelInt)
#include "tst_quorrelint.moc"
