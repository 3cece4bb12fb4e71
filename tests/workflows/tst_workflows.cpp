#include "PackageBuilder.h"
#include "ScriptedSeams.h"
#include "TestFiles.h"

#include "formats/IntFile.h"
#include "workflows/CommonDialog.h"
#include "workflows/GeneratorState.h"
#include "workflows/Workflows.h"

using namespace quorrel;
using testpkg::package;

namespace {

// What the window holds for the workflows, without the window.
struct WorkflowFixture {
    QTemporaryDir dir;
    GeneratorState state;
    ScriptedFileDialog files;
    RecordingMessageBox boxes;
    CommonDialog dialog{files};
    QString savePath;
};

} // namespace

class TestWorkflows : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void nameFields_data();
    void nameFields();
    void intText_data();
    void intText();
    void open_data();
    void open();
    void save_data();
    void save();

private:
    std::unique_ptr<WorkflowFixture> env;
};

// Every test starts where a successful open of Old_Skin.utx and "Make INT" left the tool.
void TestWorkflows::init() {
    env = std::make_unique<WorkflowFixture>();
    env->files.chooseNext(testpkg::writeFile(env->dir, QStringLiteral("Old_Skin.utx"),
                                             package({"Old", "OldPic2", "OldPic1"})));
    FindFiles(env->state, env->dialog, env->boxes);
    MakeInt(env->state);
    env->files.requests.clear();
}

void TestWorkflows::open_data() {
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("after"); // package name; names read; pictures; count text
    auto row = [](const char* name, const QString& setUp, const QString& file,
                  const QByteArray& bytes,
                  const QString& after) { QTest::newRow(name) << setUp << file << bytes << after; };
    const QByteArray tiger =
        package({"None", "soldierskins_Tiger", "Tiger2", "Palette1", "Tiger1"});
    const QString newSkin = QStringLiteral("New_Skin.utx");
    const QString old = QStringLiteral("; Old OldPic2 OldPic1; OldPic1 OldPic2; 2 pics found");
    row("plain", {}, "SoldierSkins_Tiger.utx", tiger,
        "SoldierSkins_Tiger; None soldierskins_Tiger Tiger2 Palette1 Tiger1; Tiger1 Tiger2; 2 pics "
        "found");
    row("pack.u", {}, "pack.u", package({"pa", "x"}), "pa; pa x; x; 1 pics found");
    row("non-ASCII path", {},
        QString::fromUtf8("\u00FCn\u00EFc\u00F6d\u00E9/M\u00E9sh_\u00DCber.utx"),
        package({"m\xE9sh", "P1"}),
        QString::fromUtf8("M\u00E9sh_\u00DCber; m\u00E9sh P1; P1; 1 pics found"));
    row("rescan with a corrected mesh name", "mesh", "Old_Skin.utx",
        package({"Old", "OldPic2", "OldPic1"}),
        "Old_Skin; Old OldPic2 OldPic1; OldPic1; 1 pics found");
    // Failures: "No files Selected"; the names read stay, and so do the old pictures.
    row("cancel", "cancel", {}, {}, "Old_Skin" + old);
    row("title under four characters", {}, "abc", tiger, "Old_Skin" + old);
    row("0 bytes", {}, newSkin, {}, "New_Skin" + old);
    row("FIFO", "fifo", newSkin, {}, "New_Skin" + old);
    row("unreadable", "unreadable", newSkin, tiger, "New_Skin" + old);
    row("1 TiB sparse file", "sparse", newSkin, {}, "New_Skin" + old);
    row("part-way failure", {}, "Mesh_Skin.utx", package({"Mesh", "p1"}, "abcdefgh"),
        "Mesh_Skin; Mesh p1; ; 0 pics found");
    row("part-way failure, no names", {}, "Mesh_Skin.utx", QByteArray(70, 'x'),
        "Mesh_Skin; ; ; 0 pics found");
    row("deleted as the dialog closes", "delete", newSkin, tiger, "New_Skin" + old);
    row("cut as the dialog closes", "cut", newSkin, tiger, "New_Skin; None; ; 0 pics found");
}

// Catches an Open step done wrong or a failure that keeps or loses the wrong values.
void TestWorkflows::open() {
    QFETCH(QString, setUp);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, after);
    const QString path = env->dir.filePath(file);
    if (setUp == QLatin1String("fifo")) {
        if (QProcess::execute(QStringLiteral("mkfifo"), {path}) != 0)
            QSKIP("no mkfifo here (Windows)");
    } else if (setUp != QLatin1String("cancel")) {
        testpkg::writeFile(env->dir, file, bytes);
    }
    if (setUp == QLatin1String("unreadable")) {
        QFile::setPermissions(path, {});
        if (QFile(path).open(QIODevice::ReadOnly))
            QSKIP("files without read permission are readable here (root, or Windows)");
    } else if (setUp == QLatin1String("sparse") && !QFile::resize(path, qint64(1) << 40)) {
        QSKIP("this file system cannot hold a 1 TiB sparse file");
    } else if (setUp == QLatin1String("mesh")) {
        env->state.setMeshName(QStringLiteral("OldPic2"));
    }
    env->files.chooseNext(setUp == QLatin1String("cancel") ? QString() : path, [&] {
        if (setUp == QLatin1String("delete"))
            QFile::remove(path);
        else if (setUp == QLatin1String("cut"))
            QFile::resize(path, bytes.indexOf("Tiger") - 3);
    });
    FindFiles(env->state, env->dialog, env->boxes);

    const GeneratorState& state = env->state;
    QCOMPARE(state.packageName() + "; " + state.names().join(u' ') + "; " +
                 state.pictures().join(u' ') + "; " + state.countText(),
             after);
    const bool ok = env->boxes.shown.isEmpty();
    QCOMPARE(state.intText().isEmpty(), ok); // cleared only on success
    QCOMPARE(state.makeIntEnabled(), !state.names().isEmpty());
    if (!ok)
        QCOMPARE(env->boxes.takeOnly(),
                 (RecordingMessageBox::Shown{"No files Selected", "File Error",
                                             MessageBoxSeam::Buttons::OkCancel,
                                             MessageBoxSeam::Icon::None}));
    const FileDialogRequest request = env->files.requests.takeFirst();
    QCOMPARE(request.filter + request.initialDirectory + request.fileName,
             "UTX Format (*.utx)|*.utx|All Files (*.*)|*.*" + kTexturesFolder);

    env->files.chooseNext(testpkg::writeFile(env->dir, "Good_One.utx", package({"Good", "P"})));
    FindFiles(env->state, env->dialog, env->boxes);
    QCOMPARE(env->state.pictures(), QStringList{"P"});
}

void TestWorkflows::save_data() {
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes"); // what the file holds afterwards
    const QString small = buildIntText(QStringLiteral("Pkg"), QStringLiteral("D"), {"P1", "P4F"});
    const QByteArray smallBytes = "[public]\r\n\r\nObject=(Name=Pkg.P1,Class=Texture,Description="
                                  "\"D\")\r\nObject=(Name=Pkg.P4F,Class=Texture,Description=\"F\")"
                                  "\r\n\r\n";
    auto row = [](const char* name, const QString& setUp, const QString& text,
                  const QByteArray& bytes) { QTest::newRow(name) << setUp << text << bytes; };
    row("over an older, longer file", {}, small, smallBytes);
    row("empty text", {}, {}, "\r\n");
    row("Windows-1252, no byte for it, line ends kept", {},
        QString::fromUtf8("\u20AC\u201Cx\u00E9\u0081\u4E2D\U0001F600") + QChar(0x80) + "\rb\nc",
        "\x80\x93x\xE9\x81???\rb\nc\r\n");
    row("cancel", "cancel", small, "old\r\n");
    row("missing folder", "missing", small, "(unreadable)");
    row("full disk", "full", small, "old\r\n");
}

// Catches wrong or appended bytes, a failed write taken for success, a lost previous file.
void TestWorkflows::save() {
    QFETCH(QString, setUp);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const QString folder = env->dir.filePath(QStringLiteral("out"));
    std::optional<testpkg::FullDisk> disk;
    if (setUp == QLatin1String("full")) {
        disk.emplace(folder, QStringLiteral("Pkg.int"), "old\r\n");
        if (!disk->mounted)
            QSKIP("cannot mount a small tmpfs here (needs Linux and root); no disk to fill");
    } else if (setUp != QLatin1String("missing")) {
        testpkg::writeFile(env->dir, QStringLiteral("out/Pkg.int"),
                           setUp.isEmpty() ? QByteArray(5000, 'o') : "old\r\n");
    }
    const QStringList before = QDir(folder).entryList(QDir::Files);
    env->state.setPackageName(QStringLiteral("Pkg"));
    env->state.setIntText(text);
    env->files.chooseNext(setUp == QLatin1String("cancel") ? QString() : folder + "/Pkg.int");
    SaveIntFile(env->state, env->dialog, env->boxes, env->savePath);

    const FileDialogRequest request = env->files.requests.takeFirst();
    QCOMPARE(request.initialDirectory + request.fileName + request.filter +
                 request.defaultExtension,
             kSystemFolder + "Pkg.intINT Format|*.int*.int");
    QCOMPARE(env->state.intText(), text);                  // Save never changes the text
    QCOMPARE(QDir(folder).entryList(QDir::Files), before); // no temporary file left behind
    QCOMPARE(testpkg::readFile(folder + QStringLiteral("/Pkg.int")), bytes);
    if (!setUp.isEmpty())
        QCOMPARE(env->boxes.takeOnly(),
                 (RecordingMessageBox::Shown{"File Not Saved", "File Save Error",
                                             MessageBoxSeam::Buttons::Ok,
                                             MessageBoxSeam::Icon::Critical}));
    QVERIFY(env->boxes.shown.isEmpty());
}

void TestWorkflows::nameFields_data() {
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("mesh");
    QTest::newRow("mesh, skin") << "Soldier_Tiger"
                                << "Soldier";
    QTest::newRow("first underscore") << "a_b_c"
                                      << "a";
    QTest::newRow("no underscore") << "Tiger"
                                   << "Tiger";
    QTest::newRow("underscore first") << "_T"
                                      << "";
    QTest::newRow("cleared") << ""
                             << "";
}

// Catches a wrong mesh name or skin description derived from the package name.
void TestWorkflows::nameFields() {
    QFETCH(QString, package);
    QFETCH(QString, mesh);
    GeneratorState state;
    state.setPackageName(package + u'x');
    state.setPackageName(package);
    QCOMPARE(state.meshName(), mesh);
    QCOMPARE(state.skinDescription(), package);
}

void TestWorkflows::intText_data() {
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("pictures");
    QTest::addColumn<QStringList>("objects"); // each line less "Object=(Name=" and ")\r\n"
    // clang-format off
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
void TestWorkflows::intText() {
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

QTEST_MAIN(TestWorkflows)
#include "tst_workflows.moc"
