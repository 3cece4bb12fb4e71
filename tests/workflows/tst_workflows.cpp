#include "PackageBuilder.h"
#include "ScriptedSeams.h"
#include "TestFiles.h"

#include "core/GeneratorState.h"
#include "core/IntText.h"
#include "core/PackageScan.h"
#include "workflows/CommonDialog.h"
#include "workflows/QtFileDialog.h"
#include "workflows/Workflows.h"

#if __has_include(<unistd.h>)
#include <sys/stat.h>
#include <unistd.h>
#endif

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
    void open_data();
    void open();
    void save_data();
    void save();
    void startFolders_data();
    void startFolders();

private:
    void openFile(const QString& path) {
        env->files.chooseNext(path);
        FindFiles(env->state, env->dialog, env->boxes);
    }

    std::unique_ptr<WorkflowFixture> env;
};

// Every test starts where a successful open of Old_Skin.utx and "Make INT" left the tool.
void TestWorkflows::init() {
    env = std::make_unique<WorkflowFixture>();
    openFile(testpkg::writeFile(env->dir, QStringLiteral("Old_Skin.utx"),
                                package({"Old", "OldPic2", "OldPic1"})));
    MakeInt(env->state);
    QCOMPARE(env->state.pictures(), (QStringList{"OldPic1", "OldPic2"}));
    env->files.requests.clear();
}

void TestWorkflows::open_data() {
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("packageName"); // afterwards
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("pictures");
    auto row = [](const char* name, const QString& setUp, const QString& file,
                  const QByteArray& bytes, const QString& packageName, const QStringList& names,
                  const QStringList& pictures) {
        QTest::newRow(name) << setUp << file << bytes << packageName << names << pictures;
    };
    const QStringList old{"Old", "OldPic2", "OldPic1"}, oldPictures{"OldPic1", "OldPic2"};
    const QStringList tigerNames{"None", "soldierskins_Tiger", "Tiger2", "Palette1", "Tiger1"};
    const QByteArray tiger =
        package({"None", "soldierskins_Tiger", "Tiger2", "Palette1", "Tiger1"});
    const QString newSkin = QStringLiteral("New_Skin.utx");
    row("plain", {}, "SoldierSkins_Tiger.utx", tiger, "SoldierSkins_Tiger", tigerNames,
        {"Tiger1", "Tiger2"});
    row("pack.u", {}, "pack.u", package({"pa", "x"}), "pa", {"pa", "x"}, {"x"});
    row("non-ASCII path", {},
        QString::fromUtf8("\u00FCn\u00EFc\u00F6d\u00E9/M\u00E9sh_\u00DCber.utx"),
        package({"m\xE9sh", "P1"}), QString::fromUtf8("M\u00E9sh_\u00DCber"),
        {QString::fromUtf8("m\u00E9sh"), "P1"}, {"P1"});
    row("rescan with a corrected mesh name", "mesh", "Old_Skin.utx",
        package({"Old", "OldPic2", "OldPic1"}), "Old_Skin", old, {"OldPic1"});
    // Failures: "No files Selected"; the names read stay, and so do the old pictures.
    row("cancel", "cancel", {}, {}, "Old_Skin", old, oldPictures);
    row("title under four characters", {}, "abc", tiger, "Old_Skin", old, oldPictures);
    row("0 bytes", {}, newSkin, {}, "New_Skin", old, oldPictures);
    row("FIFO", "fifo", newSkin, {}, "New_Skin", old, oldPictures);
    row("unreadable", "unreadable", newSkin, tiger, "New_Skin", old, oldPictures);
    row("1 TiB sparse file", "sparse", newSkin, {}, "New_Skin", old, oldPictures);
    row("part-way failure", {}, "Mesh_Skin.utx", package({"Mesh", "p1"}, "abcdefgh"), "Mesh_Skin",
        {"Mesh", "p1"}, {});
    row("part-way failure, no names", {}, "Mesh_Skin.utx", QByteArray(70, 'x'), "Mesh_Skin", {},
        {});
    row("deleted as the dialog closes", "delete", newSkin, tiger, "New_Skin", old, oldPictures);
    row("cut as the dialog closes", "cut", newSkin, tiger, "New_Skin", {"None"}, {});
}

// Catches an Open step done wrong or a failure that keeps or loses the wrong values.
void TestWorkflows::open() {
    QFETCH(QString, setUp);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, packageName);
    QFETCH(QStringList, names);
    QFETCH(QStringList, pictures);
    QDir(env->dir.path()).mkpath(QFileInfo(env->dir.filePath(file)).path());
    const QString path = env->dir.filePath(file);
    if (setUp == QLatin1String("fifo")) {
#ifdef Q_OS_WIN
        QSKIP("Windows has no FIFOs");
#else
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
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
    const QString intBefore = env->state.intText();
    if (setUp == QLatin1String("cancel"))
        env->files.cancelNext();
    else
        env->files.chooseNext(path, [&] {
            if (setUp == QLatin1String("delete"))
                QFile::remove(path);
            else if (setUp == QLatin1String("cut"))
                QFile::resize(path, bytes.indexOf("Tiger") - 3);
        });
    FindFiles(env->state, env->dialog, env->boxes);

    const bool ok = env->boxes.shown.isEmpty();
    QCOMPARE(env->state.packageName(), packageName);
    QCOMPARE(env->state.names(), names);
    QCOMPARE(env->state.pictures(), pictures);
    QCOMPARE(env->state.intText(), ok ? QString() : intBefore); // cleared only on success
    QCOMPARE(env->state.makeIntEnabled(), !names.isEmpty());
    if (ok)
        QCOMPARE(env->state.countText(), countTextFor(pictures.size()));
    else
        QCOMPARE(env->boxes.takeOnly(),
                 (RecordingMessageBox::Shown{"No files Selected", "File Error",
                                             MessageBoxSeam::Buttons::OkCancel,
                                             MessageBoxSeam::Icon::None}));
    const FileDialogRequest request = env->files.requests.takeFirst();
    QCOMPARE(request.filter + request.initialDirectory + request.fileName,
             "UTX Format (*.utx)|*.utx|All Files (*.*)|*.*" + kTexturesFolder);

    openFile(testpkg::writeFile(env->dir, QStringLiteral("Good_One.utx"), package({"Good", "P"})));
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
    const QString large = QString(small).repeated(300); // far beyond Qt's write buffer
    auto row = [](const char* name, const QString& setUp, const QString& text,
                  const QByteArray& bytes) { QTest::newRow(name) << setUp << text << bytes; };
    row("over an older, longer file", {}, small, smallBytes);
    row("empty text", {}, {}, "\r\n");
    row("Windows-1252, no byte for it, line ends kept", {},
        QString::fromUtf8("\u20AC\u201Cx\u00E9\u0081\u4E2D\U0001F600") + QChar(0x80) + "\rb\nc",
        "\x80\x93x\xE9\x81???\rb\nc\r\n");
    row("cancel", "cancel", small, "old\r\n");
    row("missing folder", "missing", small, "(unreadable)");
    row("full disk, real-sized text", "full", small, "old\r\n");
    row("full disk, large text", "full", large, "old\r\n");
}

// Catches wrong or appended bytes, a failed write taken for success, a lost previous file.
void TestWorkflows::save() {
    QFETCH(QString, setUp);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const QString folder = env->dir.filePath(QStringLiteral("out"));
    std::optional<testpkg::FullDisk> disk;
    if (setUp == QLatin1String("full")) {
        disk.emplace(folder);
        if (!disk->mounted())
            QSKIP("cannot mount a small tmpfs here (needs Linux and root); no disk to fill");
        disk->fillBeside(QStringLiteral("Pkg.int"), "old\r\n");
    } else if (setUp != QLatin1String("missing")) {
        QDir().mkpath(folder);
        testpkg::writeFile(env->dir, QStringLiteral("out/Pkg.int"),
                           setUp.isEmpty() ? QByteArray(5000, 'o') : "old\r\n");
    }
    const QStringList before = QDir(folder).entryList(QDir::Files);
    env->state.setPackageName(QStringLiteral("Pkg"));
    env->state.setIntText(text);
    if (setUp == QLatin1String("cancel"))
        env->files.cancelNext();
    else
        env->files.chooseNext(folder + QStringLiteral("/Pkg.int"));
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

void TestWorkflows::startFolders_data() {
    QTest::addColumn<QString>("made");     // folders made under the home folder, ";" between
    QTest::addColumn<QString>("prefix");   // $WINEPREFIX under the home folder, or none
    QTest::addColumn<QString>("expected"); // relative to the home folder
    const QString wine = ".wine/drive_c/UnrealTournament/Textures";
    const QString ut = "ut/drive_c/UnrealTournament/Textures";
    QTest::newRow("game under Wine, its own case") << wine << "" << wine;
    QTest::newRow("no textures folder") << ".wine/drive_c/UnrealTournament/System"
                                        << ""
                                        << "";
    QTest::newRow("$WINEPREFIX first") << wine + u';' + ut << "ut" << ut;
    QTest::newRow("$WINEPREFIX without the game") << wine << "ut" << wine;
}

// Catches dialogs that start outside the game's folder ($WINEPREFIX, then ~/.wine) or nowhere.
void TestWorkflows::startFolders() {
    QFETCH(QString, made);
    QFETCH(QString, prefix);
    QFETCH(QString, expected);
    QTemporaryDir home;
    for (const QString& folder : made.split(u';'))
        QVERIFY(QDir(home.path()).mkpath(folder));
#ifdef Q_OS_WIN
    Q_UNUSED(prefix);
    const QString game =
        QDir::toNativeSeparators(home.filePath(expected.isEmpty() ? "x" : expected));
    QCOMPARE(startFolderFor(game + u'\\', home.path()), QDir::cleanPath(home.filePath(expected)));
#else
    QCOMPARE(startFolderFor(kTexturesFolder, home.path(),
                            prefix.isEmpty() ? QString() : home.filePath(prefix)),
             QDir::cleanPath(home.filePath(expected)));
#endif
}

QTEST_MAIN(TestWorkflows)
#include "tst_workflows.moc"
