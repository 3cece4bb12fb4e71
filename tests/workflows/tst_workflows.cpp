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
    void openFile(const QString& path, std::function<void()> asTheDialogCloses = {}) {
        env->files.chooseNext(path, std::move(asTheDialogCloses));
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

    const QStringList oldNames{"Old", "OldPic2", "OldPic1"}, oldPictures{"OldPic1", "OldPic2"};
    const QByteArray tiger =
        package({"None", "soldierskins_Tiger", "Tiger2", "Palette1", "Tiger1"});
    const QStringList tigerNames{"None", "soldierskins_Tiger", "Tiger2", "Palette1", "Tiger1"};
    QTest::newRow("plain") << ""
                           << "SoldierSkins_Tiger.utx" << tiger << "SoldierSkins_Tiger"
                           << tigerNames << QStringList{"Tiger1", "Tiger2"};
    QTest::newRow("pack.u") << ""
                            << "pack.u" << package({"pa", "x"}) << "pa" << QStringList{"pa", "x"}
                            << QStringList{"x"};
    QTest::newRow("non-ASCII path")
        << "" << QString::fromUtf8("\u00FCn\u00EFc\u00F6d\u00E9 dir/M\u00E9sh_\u00DCber Skin.utx")
        << package({"m\xE9sh", "P1"}) << QString::fromUtf8("M\u00E9sh_\u00DCber Skin")
        << QStringList{QString::fromUtf8("m\u00E9sh"), "P1"} << QStringList{"P1"};
    QTest::newRow("rescan with a corrected mesh name")
        << "mesh OldPic2"
        << "Old_Skin.utx" << package({"Old", "OldPic2", "OldPic1"}) << "Old_Skin" << oldNames
        << QStringList{"OldPic1"};
    // Failures: "No files Selected"; the names read stay, and so do the old pictures.
    QTest::newRow("cancel") << "cancel"
                            << "" << QByteArray() << "Old_Skin" << oldNames << oldPictures;
    QTest::newRow("title under four characters")
        << ""
        << "abc" << tiger << "Old_Skin" << oldNames << oldPictures;
    QTest::newRow("0 bytes") << ""
                             << "New_Skin.utx" << QByteArray() << "New_Skin" << oldNames
                             << oldPictures;
    QTest::newRow("FIFO") << "fifo"
                          << "New_Skin.utx" << QByteArray() << "New_Skin" << oldNames
                          << oldPictures;
    QTest::newRow("unreadable") << "unreadable"
                                << "New_Skin.utx" << tiger << "New_Skin" << oldNames << oldPictures;
    QTest::newRow("1 TiB sparse file")
        << "sparse"
        << "New_Skin.utx" << QByteArray() << "New_Skin" << oldNames << oldPictures;
    QTest::newRow("part-way failure keeps the names read, drops the pictures")
        << ""
        << "Mesh_Skin.utx" << package({"Mesh", "p1"}, "abcdefgh") << "Mesh_Skin"
        << QStringList{"Mesh", "p1"} << QStringList();
    QTest::newRow("part-way failure with no names")
        << ""
        << "Mesh_Skin.utx" << QByteArray(70, 'x') << "Mesh_Skin" << QStringList() << QStringList();
    QTest::newRow("deleted as the dialog closes")
        << "delete"
        << "New_Skin.utx" << tiger << "New_Skin" << oldNames << oldPictures;
    QTest::newRow("cut as the dialog closes")
        << "cut"
        << "New_Skin.utx" << tiger << "New_Skin" << QStringList{"None"} << QStringList();
}

// Catches a step of Open done wrong, out of order, or a failure that loses or keeps the wrong
// values; each case ends with a good package that must still open.
void TestWorkflows::open() {
    QFETCH(QString, setUp);
    QFETCH(QString, file);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, packageName);
    QFETCH(QStringList, names);
    QFETCH(QStringList, pictures);

    QDir(env->dir.path()).mkpath(QFileInfo(env->dir.filePath(file)).path());
    const QString path = env->dir.filePath(file);
    if (setUp != QLatin1String("fifo") && setUp != QLatin1String("cancel"))
        testpkg::writeFile(env->dir, file, bytes);
    if (setUp == QLatin1String("fifo")) {
#ifdef Q_OS_WIN
        QSKIP("Windows has no FIFOs");
#else
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
#endif
    } else if (setUp == QLatin1String("unreadable")) {
        QFile::setPermissions(path, {});
        if (QFile(path).open(QIODevice::ReadOnly))
            QSKIP("files without read permission are readable here (root)");
    } else if (setUp == QLatin1String("sparse") && !QFile::resize(path, qint64(1) << 40)) {
        QSKIP("this file system cannot hold a 1 TiB sparse file");
    } else if (setUp.startsWith(QLatin1String("mesh "))) {
        env->state.setMeshName(setUp.mid(5));
    }
    const QString intBefore = env->state.intText();

    if (setUp == QLatin1String("cancel")) {
        env->files.cancelNext();
        FindFiles(env->state, env->dialog, env->boxes);
    } else {
        openFile(path, [&] {
            if (setUp == QLatin1String("delete"))
                QFile::remove(path);
            else if (setUp == QLatin1String("cut"))
                QFile::resize(path, bytes.indexOf("Tiger") - 3);
        });
    }

    const bool ok = env->boxes.shown.isEmpty();
    QCOMPARE(env->state.packageName(), packageName);
    QCOMPARE(env->state.names(), names);
    QCOMPARE(env->state.pictures(), pictures);
    QCOMPARE(env->state.intText().isEmpty(), ok); // cleared only on success
    QCOMPARE(env->state.makeIntEnabled(), !names.isEmpty());
    if (!ok) {
        const RecordingMessageBox::Shown box = env->boxes.takeOnly();
        QCOMPARE(box.text + u'|' + box.title, QStringLiteral("No files Selected|File Error"));
        QCOMPARE(box.buttons, MessageBoxSeam::Buttons::OkCancel);
        QCOMPARE(box.icon, MessageBoxSeam::Icon::None);
        QCOMPARE(env->state.intText(), intBefore);
    } else {
        QCOMPARE(env->state.countText(), countTextFor(pictures.size()));
    }
    const FileDialogRequest request = env->files.requests.takeFirst();
    QCOMPARE(request.filter, QStringLiteral("UTX Format (*.utx)|*.utx|All Files (*.*)|*.*"));
    QCOMPARE(request.initialDirectory, kTexturesFolder);
    QVERIFY(request.fileName.isEmpty());

    openFile(testpkg::writeFile(env->dir, QStringLiteral("Good_One.utx"), package({"Good", "P"})));
    QVERIFY(env->boxes.shown.isEmpty());
    QCOMPARE(env->state.pictures(), QStringList{"P"});
}

void TestWorkflows::save_data() {
    QTest::addColumn<QString>("setUp");
    QTest::addColumn<QString>("text");
    const QString small = buildIntText(QStringLiteral("Pkg"), QStringLiteral("D \u20AC"),
                                       {"Pic1", "Pic2", "Pic4Face", "Pic5Face"});
    const QString large = QString(small).repeated(200); // far beyond Qt's write buffer
    QTest::newRow("over an older, longer file") << "" << small;
    QTest::newRow("empty text") << ""
                                << "";
    QTest::newRow("cancel") << "cancel" << small;
    QTest::newRow("missing folder") << "missing" << small;
    QTest::newRow("a folder in the way") << "folder" << small;
    QTest::newRow("full disk, real-sized text") << "full" << small;
    QTest::newRow("full disk, large text") << "full" << large;
}

// Catches a save that writes the wrong bytes, appends, reports a failed write as success, or
// loses the previous file.
void TestWorkflows::save() {
    QFETCH(QString, setUp);
    QFETCH(QString, text);
    QString folder = env->dir.filePath(QStringLiteral("out"));
    std::unique_ptr<testpkg::FullDisk> disk;
    if (setUp == QLatin1String("full")) {
        disk = std::make_unique<testpkg::FullDisk>(folder);
        if (!disk->mounted())
            QSKIP("cannot mount a small tmpfs here (needs root); no disk to fill");
        disk->fillBeside(QStringLiteral("Pkg.int"), "old\r\n");
    } else if (setUp != QLatin1String("missing")) {
        QDir().mkpath(folder);
        testpkg::writeFile(env->dir, QStringLiteral("out/Pkg.int"), QByteArray(5000, 'o'));
    }
    const QString path = setUp == QLatin1String("folder") ? folder : folder + "/Pkg.int";
    const QStringList before = QDir(folder).entryList(QDir::Files);
    const QByteArray bytesBefore = testpkg::readFile(folder + "/Pkg.int");

    env->state.setPackageName(QStringLiteral("Pkg"));
    env->state.setIntText(text);
    if (setUp == QLatin1String("cancel"))
        env->files.cancelNext();
    else
        env->files.chooseNext(path);
    SaveIntFile(env->state, env->dialog, env->boxes, env->savePath);

    const FileDialogRequest request = env->files.requests.takeFirst();
    QCOMPARE(request.mode, FileDialogRequest::Mode::Save);
    QCOMPARE(request.initialDirectory, kSystemFolder);
    QCOMPARE(request.fileName, QStringLiteral("Pkg.int"));
    QCOMPARE(request.filter + request.defaultExtension, QStringLiteral("INT Format|*.int*.int"));
    QCOMPARE(env->state.intText(), text);                  // Save never changes the text
    QCOMPARE(QDir(folder).entryList(QDir::Files), before); // no temporary file left behind
    if (!setUp.isEmpty()) {
        const RecordingMessageBox::Shown box = env->boxes.takeOnly();
        QCOMPARE(box.text + u'|' + box.title, QStringLiteral("File Not Saved|File Save Error"));
        QCOMPARE(box.icon, MessageBoxSeam::Icon::Critical);
        QCOMPARE(testpkg::readFile(folder + "/Pkg.int"), bytesBefore);
        return;
    }
    QVERIFY(env->boxes.shown.isEmpty());
    QCOMPARE(env->savePath, path);
    QCOMPARE(testpkg::readFile(path), intFileBytes(text));
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

// Catches dialogs that start outside the game's folder in a Wine prefix ($WINEPREFIX first, then
// ~/.wine), or in a folder that does not exist.
void TestWorkflows::startFolders() {
#ifdef Q_OS_WIN
    QSKIP("Windows uses the game's folders as they are");
#endif
    QFETCH(QString, made);
    QFETCH(QString, prefix);
    QFETCH(QString, expected);
    QTemporaryDir home;
    for (const QString& folder : made.split(u';'))
        QVERIFY(QDir(home.path()).mkpath(folder));
    QCOMPARE(startFolderFor(kTexturesFolder, home.path(),
                            prefix.isEmpty() ? QString() : home.filePath(prefix)),
             QDir::cleanPath(home.filePath(expected)));
}

QTEST_MAIN(TestWorkflows)
#include "tst_workflows.moc"
