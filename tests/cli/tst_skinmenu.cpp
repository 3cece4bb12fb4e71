#include "PackageBuilder.h"
#include "TestFiles.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTest>

using testpkg::Object;

namespace {

// The exit status (-1 for a crash) and standard output.
std::pair<int, QString> quorrelInt(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(QUORREL_INT), arguments);
    const bool ended =
        process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, QString::fromLatin1(process.readAllStandardOutput())};
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

class TestSkinMenu : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void complete_data();
    void complete();
    void check_data();
    void check();
    void usage();
};

void TestSkinMenu::complete_data() {
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

// Catches a complete .int that hides a skin or face from the menu, describes what it must not, or
// that --check misjudges; --check on it must find only what the package itself gets wrong.
void TestSkinMenu::complete() {
    QFETCH(QList<Object>, textures);
    QFETCH(int, version);
    QFETCH(QStringList, options);
    QFETCH(QString, written);
    QFETCH(QString, checked);
    QTemporaryDir dir;
    const QString package = testpkg::writeFile(dir, QStringLiteral("Cats.utx"),
                                               testpkg::realPackage(textures, quint16(version)));
    QCOMPARE(quorrelInt(options + QStringList{"--complete", package}).first, 0);
    const QString intText = QString::fromLatin1(testpkg::readFile(dir.filePath("Cats.int")));
    QVERIFY(intText.startsWith("[public]\r\n\r\nObject=(Name=Cats.") &&
            intText.endsWith(")\r\n\r\n"));
    QCOMPARE(objects(intText), written);
    const auto [status, out] = quorrelInt({"--check", package, dir.filePath("Cats.int")});
    QCOMPARE(out, checked);
    QCOMPARE(status, checked.endsWith(QStringLiteral("no problems\n")) ? 0 : 1);
}

void TestSkinMenu::check_data() {
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

// Catches a check that misses a problem the menu would show, reports one it would not, or reads
// an .int otherwise than the game does.
void TestSkinMenu::check() {
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
    QCOMPARE(quorrelInt(arguments), std::make_pair(1, checked));
}

// Catches an option given where it cannot apply that runs anyway instead of a usage error.
void TestSkinMenu::usage() {
    for (const QStringList& arguments : {QStringList{"--skin", "Tigr=Tiger", "a.utx"},
                                         {"--complete", "--skin", "Tig=x", "a.utx"},
                                         {"--complete", "--skin", "Tigr=", "a.utx"},
                                         {"--complete", "--check", "a.utx"},
                                         {"--complete", "--description", "a\"b", "a.utx"},
                                         {"--check", "a.utx", "a.int", "b"}})
        QVERIFY2(quorrelInt(arguments).first == 2, qPrintable(arguments.join(u' ')));
}

QTEST_GUILESS_MAIN(TestSkinMenu)
#include "tst_skinmenu.moc"
