#include "PackageBuilder.h"
#include "WorkflowFixture.h"

#include "core/GeneratorState.h"
#include "workflows/CommonDialog.h"
#include "workflows/Workflows.h"

#include <QProcess>

#include <unistd.h>

using namespace quorrel;

namespace {

// A small tmpfs mounted inside a test folder, so a test can fill a disk or make a folder
// read-only for real, also as root. Unmounted again when it goes.
class SmallFileSystem {
public:
    SmallFileSystem(const QString& path, const QString& size) : m_path(path) {
        QDir().mkpath(path);
        m_mounted = run("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", path});
    }
    ~SmallFileSystem() {
        if (m_mounted)
            run("umount", {m_path});
    }
    bool mounted() const { return m_mounted; }
    bool makeReadOnly() { return run("mount", {"-o", "remount,ro", m_path}); }

private:
    static bool run(const QString& program, const QStringList& arguments) {
        QProcess process;
        process.start(program, arguments);
        return process.waitForFinished(10000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }

    QString m_path;
    bool m_mounted = false;
};

} // namespace

class TestSaveWorkflow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void savesTheIntText();
    void savesTheTextAsItStands_data();
    void savesTheTextAsItStands();
    void savingTwiceReplacesTheFile();
    void cancelledDialog();
    void failedWriteKeepsThePreviousFile_data();
    void failedWriteKeepsThePreviousFile();

private:
    void save(const QString& path) {
        env->files.chooseNext(path);
        SaveIntFile(env->state, env->dialog, env->boxes, env->savePath);
    }
    void expectNotSaved() {
        const RecordingMessageBox::Shown box = env->boxes.takeOnly();
        QCOMPARE(box.text, QStringLiteral("File Not Saved"));
        QCOMPARE(box.title, QStringLiteral("File Save Error"));
        QCOMPARE(box.buttons, MessageBoxSeam::Buttons::Ok);
        QCOMPARE(box.icon, MessageBoxSeam::Icon::Critical);
    }

    std::unique_ptr<WorkflowFixture> env;
};

void TestSaveWorkflow::init() {
    env = std::make_unique<WorkflowFixture>();
    env->state.setPackageName(QStringLiteral("SoldierSkins_Tiger"));
}

void TestSaveWorkflow::savesTheIntText() {
    env->state.setIntText(QStringLiteral("[public]\r\n\r\nObject=(Name=a.b,Class=Texture)\r\n"));
    const QString path = env->dir.filePath(QStringLiteral("SoldierSkins_Tiger.int"));
    save(path);
    QVERIFY(env->boxes.shown.isEmpty());

    const FileDialogRequest& request = env->files.requests.constFirst();
    QCOMPARE(request.mode, FileDialogRequest::Mode::Save);
    QCOMPARE(request.initialDirectory, QStringLiteral("c:\\unrealtournament\\system\\"));
    QCOMPARE(request.filter, QStringLiteral("INT Format|*.int"));
    QCOMPARE(request.defaultExtension, QStringLiteral("*.int"));
    QCOMPARE(request.fileName, QStringLiteral("SoldierSkins_Tiger.int"));
    QVERIFY(env->dialog.cancelError);
    QCOMPARE(env->savePath, path);

    QCOMPARE(testpkg::readFile(path),
             QByteArray("[public]\r\n\r\nObject=(Name=a.b,Class=Texture)\r\n\r\n"));
    // Nothing but the file itself is left in the folder.
    QCOMPARE(QDir(env->dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{"SoldierSkins_Tiger.int"});
}

void TestSaveWorkflow::savesTheTextAsItStands_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty text: two bytes") << "" << QByteArray("\r\n");
    QTest::newRow("user's edit without a line end") << "edited" << QByteArray("edited\r\n");
    QTest::newRow("Windows-1252, no byte-order mark")
        << QString::fromUtf8("caf\u00E9 \u20AC\u2019") << QByteArray("caf\xE9 \x80\x92\r\n");
    QTest::newRow("a character without a byte")
        << QString::fromUtf8("\u4E2D\U0001F600") << QByteArray("??\r\n");
}

void TestSaveWorkflow::savesTheTextAsItStands() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    env->state.setIntText(text);
    const QString path = env->dir.filePath(QStringLiteral("out.int"));
    save(path);
    QVERIFY(env->boxes.shown.isEmpty());
    QCOMPARE(testpkg::readFile(path), bytes);
    QCOMPARE(env->state.intText(), text);
}

void TestSaveWorkflow::savingTwiceReplacesTheFile() {
    const QString path = env->dir.filePath(QStringLiteral("twice.int"));
    env->state.setIntText(QStringLiteral("a much longer first text"));
    save(path);
    env->state.setIntText(QStringLiteral("short"));
    save(path);
    QVERIFY(env->boxes.shown.isEmpty());
    QCOMPARE(testpkg::readFile(path), QByteArray("short\r\n"));
}

void TestSaveWorkflow::cancelledDialog() {
    env->state.setIntText(QStringLiteral("kept"));
    env->files.cancelNext();
    SaveIntFile(env->state, env->dialog, env->boxes, env->savePath);
    expectNotSaved();
    QVERIFY(env->savePath.isEmpty());
    QCOMPARE(env->state.intText(), QStringLiteral("kept"));
    QVERIFY(QDir(env->dir.path()).isEmpty());
}

void TestSaveWorkflow::failedWriteKeepsThePreviousFile_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing folder") << "missing";
    QTest::newRow("path is a folder") << "folder";
    QTest::newRow("read-only folder") << "readonly";
    QTest::newRow("disk full") << "full";
}

void TestSaveWorkflow::failedWriteKeepsThePreviousFile() {
    QFETCH(QString, kind);
    const QByteArray previous("the previous file\r\n");
    QString folder = env->dir.filePath(QStringLiteral("target"));
    std::unique_ptr<SmallFileSystem> fileSystem;
    // 64 KiB of text; the full disk has room for the previous file but not for this.
    env->state.setIntText(QString(64 * 1024, u'x'));

    if (kind == QLatin1String("readonly") || kind == QLatin1String("full")) {
        fileSystem = std::make_unique<SmallFileSystem>(folder, QStringLiteral("32k"));
        if (!fileSystem->mounted())
            QSKIP("cannot mount a small tmpfs here (needs root); no file system to fill");
        testpkg::writeFile(env->dir, QStringLiteral("target/old.int"), previous);
        if (kind == QLatin1String("readonly"))
            QVERIFY(fileSystem->makeReadOnly());
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/old.int")));
    } else {
        folder = env->dir.filePath(QStringLiteral("no/such/folder"));
    }
    const QString path = folder + QStringLiteral("/old.int");
    const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);

    save(path);
    expectNotSaved();
    if (kind != QLatin1String("folder") && kind != QLatin1String("missing"))
        QCOMPARE(testpkg::readFile(path), previous);
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden), before);
    QCOMPARE(env->state.intText().size(), 64 * 1024);
}

QTEST_GUILESS_MAIN(TestSaveWorkflow)
#include "tst_saveworkflow.moc"
