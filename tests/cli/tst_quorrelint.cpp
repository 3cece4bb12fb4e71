#include "PackageBuilder.h"
#include "TestFiles.h"

#include <QProcess>
#include <QRegularExpression>

#if __has_include(<unistd.h>)
#include <unistd.h>
#endif

using testpkg::Object;

namespace {

#ifdef Q_OS_WIN
const QString kLineEnd = QStringLiteral("\r\n"); // the C runtime writes text LF as CR LF
#else
const QString kLineEnd = QStringLiteral("\n");
#endif

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

// Unused where the failed writes are skipped (Windows).
[[maybe_unused]] QByteArray manyPictures(int count) {
    QList<QByteArray> names{"None", "big"};
    for (int i = 0; i < count; ++i)
        names << "Picture" + QByteArray::number(i);
    return testpkg::package(names);
}

// "Tigr1=Cats Tigr2": each Object line's texture, and its description after "=".
QString objects(const QString& intText) {
    static const QRegularExpression line(QStringLiteral(
        "Object=\\(Name=Cats\\.([^,]+),Class=Texture(?:,Description=\"([^\"]*)\")?\\)"));
    QStringList found;
    for (const auto& match : line.globalMatch(intText))
        found << match.captured(1) + (match.hasCaptured(2) ? u'=' + match.captured(2) : QString());
    return found.join(u' ');
}

} // namespace

class TestQuorrelInt : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void badPackages();
    void failedWrites_data();
    void failedWrites();
    void complete_data();
    void complete();
    void check_data();
    void check();
    void usage();
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
    QCOMPARE(run.err.split(kLineEnd, Qt::SkipEmptyParts),
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

void TestQuorrelInt::complete_data() {
    QTest::addColumn<QList<Object>>("textures");
    QTest::addColumn<int>("version");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("checked"); // what --check then prints

    QTest::newRow("several skins, version 61")
        << QList<Object>{{"Tigr2"}, {"Tigr1"},    {"Tigr4Bob"}, {"Tigr5Bob"}, {"Pal", "Palette"},
                         {"Leop1"}, {"Leop4Ann"}, {"Leop5Ann"}, {"Puma1"}}
        << 61 << QStringList{"--skin", "leop=Leopard"}
        << "Tigr2 Tigr1=Cats Tigr4Bob=Bob Tigr5Bob Leop1=Leopard Leop4Ann=Ann Leop5Ann Puma1=Puma"
        << "skin Tigr1 \"Cats\"\n  face Tigr4Bob \"Bob\"\nskin Leop1 \"Leopard\"\n  face Leop4Ann "
           "\"Ann\"\nskin Puma1 \"Puma\"\nno problems\n";
    QTest::newRow("faces at slot 2, portraits at 5")
        << QList<Object>{{"cmdo1"}, {"cmdo2Blake"}, {"cmdo5Blake"}, {"cmdo4Blake"}} << 69
        << QStringList{"--description", "Commando"}
        << "cmdo1=Commando cmdo2Blake=Blake cmdo5Blake cmdo4Blake"
        << "skin cmdo1 \"Commando\"\n  face cmdo2Blake \"Blake\"\ncmdo4Blake: a face at digit 4, "
           "but the group's faces are at digit 2; the menu won't list it\n";
    QTest::newRow("faces only at digit 5")
        << QList<Object>{{"Abcd1"}, {"Abcd5Xan"}} << 69 << QStringList()
        << "Abcd1=Cats Abcd5Xan=Xan"
        << "skin Abcd1 \"Cats\"\n  face Abcd5Xan \"Xan\"\nno problems\n";
    QTest::newRow("portrait without a face, face without portrait")
        << QList<Object>{{"Tigr1"}, {"Tigr4Bob"}, {"Tigr5Zed"}} << 69 << QStringList()
        << "Tigr1=Cats Tigr4Bob=Bob Tigr5Zed"
        << "skin Tigr1 \"Cats\"\n  face Tigr4Bob \"Bob\"\nTigr4Bob: the face has no portrait "
           "Tigr5Bob\nTigr5Zed: a portrait without its face Tigr4Zed\n";
    QTest::newRow("team textures, case-mismatched face")
        << QList<Object>{{"vipr1"}, {"Vipr1T_0"}, {"Vipr4Blake"}, {"Vipr5Blake"}} << 69
        << QStringList() << "vipr1=Cats vipr1T_0 vipr4Blake=Blake vipr5Blake"
        << "skin vipr1 \"Cats\"\n  face vipr4Blake \"Blake\"\nno problems\n";
}

// Catches a complete .int that hides a skin or face, or describes what it must not.
void TestQuorrelInt::complete() {
    QFETCH(QList<Object>, textures);
    QFETCH(int, version);
    QFETCH(QStringList, options);
    QFETCH(QString, written);
    QFETCH(QString, checked);
    QTemporaryDir dir;
    const QString package = testpkg::writeFile(dir, QStringLiteral("Cats.utx"),
                                               testpkg::realPackage(textures, quint16(version)));
    QCOMPARE(quorrelInt(options + QStringList{"--complete", package}).status, 0);
    const QString intText = QString::fromLatin1(testpkg::readFile(dir.filePath("Cats.int")));
    QVERIFY(intText.startsWith("[public]\r\n\r\nObject=(Name=Cats.") &&
            intText.endsWith(")\r\n\r\n"));
    QCOMPARE(objects(intText), written);
    const Run run = quorrelInt({"--check", package, dir.filePath("Cats.int")});
    QCOMPARE(QString::fromLatin1(run.out), QString(checked).replace(u'\n', kLineEnd));
    QCOMPARE(run.status, checked.endsWith(QStringLiteral("no problems\n")) ? 0 : 1);
}

void TestQuorrelInt::check_data() {
    QTest::addColumn<int>("version");
    QTest::addColumn<QString>("intText"); // empty: the one the default mode writes
    QTest::addColumn<QString>("checked");
    QTest::newRow("version 61, the window's .int")
        << 61 << QString()
        << "skin  \"Cats\"\nCats.utx: version 61: the byte walk reads name 0 as \"one\" where the "
           "header has \"None\"\nCats. (line 3): the package holds no texture of that name\nvipr1: "
           "the skin has no description; the menu won't list it\nVipr4Blake: the face has no "
           "description; the menu won't list it\n";
    QTest::newRow("by hand, read as the game reads")
        << 69
        << "; by hand\r\n[Setup]\r\nObject=(Name=Cats.Gone,Class=Texture)\r\n[public]\n"
           "object = ( Name=Cats.vipr1, Class=Texture, Description = Viper )\n"
           "Object=(Name=Cats.Vipr1T_0,Class=Texture,Description=\"T_0\")\n"
           "Object=(Name=Cats.Vipr4Blake,Class=Texture,Description=\"Blake\")\n"
           "; Object=(Name=Cats.Gone,Class=Texture)\nObject=(Name=Dogs.Vipr5Blake,Class=Texture)\n"
           "Object=(Name=Cats.Gone,Class=Texture)"
        << "skin vipr1 \"Viper\"\nVipr1T_0: a team texture with a description; the menu lists it "
           "as a face\nVipr4Blake: its first four characters differ in case from its skin's; the "
           "menu won't list the face\nDogs.Vipr5Blake (line 9): its package part is not the "
           "file's name \"Cats\"\nCats.Gone (line 10): the package holds no texture of that name\n";
}

// Catches a check that misses or invents a problem, or reads an .int unlike the game.
void TestQuorrelInt::check() {
    QFETCH(int, version);
    QFETCH(QString, intText);
    QFETCH(QString, checked);
    QTemporaryDir dir;
    const QString package = testpkg::writeFile(
        dir, QStringLiteral("Cats.utx"),
        testpkg::realPackage({{"vipr1"}, {"Vipr1T_0"}, {"Vipr4Blake"}, {"Vipr5Blake"}},
                             quint16(version)));
    QStringList arguments{"--check", package};
    if (!intText.isEmpty())
        arguments << testpkg::writeFile(dir, QStringLiteral("Cats.int"), intText.toLatin1());
    const Run run = quorrelInt(arguments);
    QCOMPARE(QString::fromLatin1(run.out), QString(checked).replace(u'\n', kLineEnd));
    QCOMPARE(run.status, 1);
}

// Catches an option that runs where it cannot apply, or a listed --help-all that fails.
void TestQuorrelInt::usage() {
    for (const QStringList& arguments : {QStringList{"--skin", "Tigr=Tiger", "a.utx"},
                                         {"--complete", "--skin", "Tig=x", "a.utx"},
                                         {"--complete", "--skin", "Tigr=", "a.utx"},
                                         {"--complete", "--check", "a.utx"},
                                         {"--complete", "--description", "a\"b", "a.utx"},
                                         {"--check", "a.utx", "a.int", "b"}})
        QVERIFY2(quorrelInt(arguments).status == 2, qPrintable(arguments.join(u' ')));
    QCOMPARE(quorrelInt({"--help-all"}).status, 0); // listed by --help, so it must work
}

QTEST_GUILESS_MAIN(TestQuorrelInt)
#include "tst_quorrelint.moc"
