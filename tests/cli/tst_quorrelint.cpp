#include "PackageBuilder.h"
#include "WorkflowFixture.h"

#include "core/IntText.h"
#include "workflows/Workflows.h"

#include <QProcess>

using namespace quorrel;

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QString err;
};

Run quorrelInt(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(QUORREL_INT), arguments);
    Run run;
    if (!process.waitForFinished(60000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput();
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// What the window writes for `package`: Open, "Make INT", Save.
QByteArray windowOutput(const QString& package, const QString& saveTo) {
    WorkflowFixture window;
    window.files.chooseNext(package);
    FindFiles(window.state, window.dialog, window.boxes);
    MakeInt(window.state);
    window.files.chooseNext(saveTo);
    SaveIntFile(window.state, window.dialog, window.boxes, window.savePath);
    return window.boxes.shown.isEmpty() ? testpkg::readFile(saveTo) : QByteArray();
}

} // namespace

class TestQuorrelInt : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sameBytesAsTheWindow_data();
    void sameBytesAsTheWindow();
    void writesBesideThePackage();
    void overrides();
    void list();
    void failures();
    void commandLine_data();
    void commandLine();
};

void TestQuorrelInt::sameBytesAsTheWindow_data() {
    QTest::addColumn<QString>("package");
    for (const char* file : {"BuildingGraphics.utx", "ConstructorTex.utx", "JetpackTex.utx",
                             "SiegeStats.utx", "XC_Orb.utx"})
        QTest::newRow(file) << testpkg::testdata(QString::fromLatin1(file));
    static QTemporaryDir crafted;
    QTest::newRow("crafted skin") << testpkg::writeFile(
        crafted, QStringLiteral("Soldier_Tiger.utx"),
        testpkg::package(
            {"None", "soldier_Tiger", "Tiger2", "Palette1", "Tiger1", "Tiger4Gr\xE9n"}));
}

void TestQuorrelInt::sameBytesAsTheWindow() {
    QFETCH(QString, package);
    QTemporaryDir out;
    const QString name = QFileInfo(package).completeBaseName() + QStringLiteral(".int");
    const QByteArray expected = windowOutput(package, out.filePath(QStringLiteral("window.int")));
    QVERIFY(expected.startsWith("[public]\r\n\r\n"));

    const Run toFolder = quorrelInt({QStringLiteral("--output"), out.path(), package});
    QCOMPARE(toFolder.status, 0);
    QVERIFY(toFolder.err.isEmpty());
    QCOMPARE(testpkg::readFile(out.filePath(name)), expected);

    const Run toStdout = quorrelInt({QStringLiteral("-o"), QStringLiteral("-"), package});
    QCOMPARE(toStdout.status, 0);
    QCOMPARE(toStdout.out, expected);
}

void TestQuorrelInt::writesBesideThePackage() {
    QTemporaryDir dir;
    const QString a =
        testpkg::writeFile(dir, QStringLiteral("A_One.utx"), testpkg::package({"a", "p"}));
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
    const QString b =
        testpkg::writeFile(dir, QStringLiteral("sub/B_Two.utx"), testpkg::package({"b", "q"}));
    const Run run = quorrelInt({a, b});
    QCOMPARE(run.status, 0);
    QVERIFY(testpkg::readFile(dir.filePath(QStringLiteral("A_One.int"))).contains("A_One.p,"));
    QVERIFY(testpkg::readFile(dir.filePath(QStringLiteral("sub/B_Two.int"))).contains("B_Two.q,"));
}

void TestQuorrelInt::overrides() {
    QTemporaryDir dir;
    const QString package = testpkg::writeFile(dir, QStringLiteral("Pack_Skin.utx"),
                                               testpkg::package({"pack", "p1", "other", "p2"}));
    const Run run = quorrelInt({QStringLiteral("--mesh"), QStringLiteral("OTHER"),
                                QStringLiteral("--description"), QStringLiteral("Striped \"cat\""),
                                QStringLiteral("-o"), QStringLiteral("-"), package});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("[public]\r\n\r\n"
                                 "Object=(Name=Pack_Skin.p2,Class=Texture,Description=\"Striped "
                                 "\"cat\"\")\r\n\r\n"));
}

void TestQuorrelInt::list() {
    QTemporaryDir dir;
    const QString package = testpkg::writeFile(
        dir, QStringLiteral("m_x.utx"), testpkg::package({"None", "m", "b", "Palette", "A"}));
    const Run run = quorrelInt({QStringLiteral("--list"), package});
    QCOMPARE(run.status, 0);
    QCOMPARE(run.out, QByteArray("[names]\nNone\nm\nb\nPalette\nA\n[pictures]\nA\nb\n"));
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("m_x.int"))));
}

void TestQuorrelInt::failures() {
    QTemporaryDir dir;
    const QString good =
        testpkg::writeFile(dir, QStringLiteral("Good_Skin.utx"), testpkg::package({"good", "p"}));
    const QString empty = testpkg::writeFile(dir, QStringLiteral("Empty_Skin.utx"), QByteArray());
    const QString cut =
        testpkg::writeFile(dir, QStringLiteral("Cut_Skin.utx"), testpkg::package({"cut"}, "xyz"));
    const QString missing = dir.filePath(QStringLiteral("Missing_Skin.utx"));
    const QString folder = dir.filePath(QStringLiteral("Folder_Skin.utx"));
    QVERIFY(QDir().mkdir(folder));

    const Run run = quorrelInt({missing, empty, good, cut, folder});
    QCOMPARE(run.status, 1);
    const QStringList lines = run.err.split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines, (QStringList{
                        "quorrel-int: " + missing + ": missing",
                        "quorrel-int: " + empty + ": empty",
                        "quorrel-int: " + cut +
                            ": the scan reached the end of the file without its end marker",
                        "quorrel-int: " + folder + ": not a file",
                    }));
    // The good package is written; no failed one leaves any .int behind.
    QVERIFY(QFile::exists(dir.filePath(QStringLiteral("Good_Skin.int"))));
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.int")}), QStringList{"Good_Skin.int"});

    const Run unwritable =
        quorrelInt({QStringLiteral("-o"), dir.filePath(QStringLiteral("no/such")), good});
    QCOMPARE(unwritable.status, 1);
    QVERIFY(unwritable.err.startsWith("quorrel-int: " + good + ": could not write "));
}

void TestQuorrelInt::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("expected"); // start of the output, standard error on failure
    QTest::newRow("version") << QStringList{"--version"} << 0 << "quorrel-int 1.0.0";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: ";
    QTest::newRow("unknown option")
        << QStringList{"--frobnicate", "x.utx"} << 2
        << "quorrel-int: Unknown option 'frobnicate'.\nUsage: quorrel-int";
    QTest::newRow("no package") << QStringList() << 2 << "quorrel-int: no package given\nUsage: ";
    QTest::newRow("mesh for two packages") << QStringList{"--mesh", "m", "a.utx", "b.utx"} << 2
                                           << "quorrel-int: --mesh and --description take a single";
}

void TestQuorrelInt::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, expected);
    const Run run = quorrelInt(arguments);
    QCOMPARE(run.status, status);
    const QString shown = status == 0 ? QString::fromUtf8(run.out) : run.err;
    QVERIFY2(shown.startsWith(expected), qPrintable(shown));
}

QTEST_GUILESS_MAIN(TestQuorrelInt)
#include "tst_quorrelint.moc"
