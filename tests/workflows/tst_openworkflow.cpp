#include "PackageBuilder.h"
#include "WorkflowFixture.h"

#include "core/GeneratorState.h"
#include "core/IntText.h"
#include "workflows/CommonDialog.h"
#include "workflows/Workflows.h"

#include <QElapsedTimer>

#include <sys/stat.h>
#include <unistd.h>

using namespace quorrel;
using testpkg::package;

// Open through the workflow with a pre-answered dialog, starting from a state that an earlier
// successful open of Old_Skin.utx left behind.
class TestOpenWorkflow : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void opensAPackage();
    void cutsTheLastFourCharacters();
    void badInput_data();
    void badInput();
    void cancelAfterSaveSetCancelError();

private:
    void open(const QString& path) {
        env->files.chooseNext(path);
        FindFiles(env->state, env->dialog, env->boxes);
    }

    std::unique_ptr<WorkflowFixture> env;
    const QStringList oldNames{"old", "OldPic2", "OldPic1"};
};

void TestOpenWorkflow::init() {
    env = std::make_unique<WorkflowFixture>();
    env->state.setPackageName(QStringLiteral("Old_Skin"));
    open(testpkg::writeFile(env->dir, QStringLiteral("Old_Skin.utx"),
                            package({"old", "OldPic2", "OldPic1"})));
    MakeInt(env->state);
    QVERIFY(env->boxes.shown.isEmpty());
    QCOMPARE(env->state.names(), oldNames);
    env->files.requests.clear();
}

void TestOpenWorkflow::opensAPackage() {
    open(testpkg::writeFile(
        env->dir, QStringLiteral("SoldierSkins_Tiger.utx"),
        package({"None", "soldierskins_Tiger", "Tiger2", "Palette1", "Tiger1"})));
    QVERIFY(env->boxes.shown.isEmpty());
    QCOMPARE(env->files.requests.size(), 1);
    const FileDialogRequest& request = env->files.requests.first();
    QCOMPARE(request.mode, FileDialogRequest::Mode::Open);
    QCOMPARE(request.filter, QStringLiteral("UTX Format (*.utx)|*.utx|All Files (*.*)|*.*"));
    QCOMPARE(request.initialDirectory, QStringLiteral("c:\\unrealtournament\\textures\\"));
    QCOMPARE(request.fileName, QString());

    QCOMPARE(env->state.packageName(), QStringLiteral("SoldierSkins_Tiger"));
    QCOMPARE(env->state.meshName(), QStringLiteral("SoldierSkins"));
    QCOMPARE(env->state.skinDescription(), QStringLiteral("SoldierSkins_Tiger"));
    QCOMPARE(env->state.pictures(), (QStringList{"Tiger1", "Tiger2"}));
    QCOMPARE(env->state.countText(), QStringLiteral("2 pics found"));
    QVERIFY(env->state.intText().isEmpty());
    QVERIFY(env->state.makeIntEnabled());
}

void TestOpenWorkflow::cutsTheLastFourCharacters() {
    open(testpkg::writeFile(env->dir, QStringLiteral("pack.u"), package({"pa", "x"})));
    QVERIFY(env->boxes.shown.isEmpty());
    QCOMPARE(env->state.packageName(), QStringLiteral("pa"));
    QCOMPARE(env->state.pictures(), QStringList{"x"});
}

void TestOpenWorkflow::badInput_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("packageName"); // after the failure
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<bool>("picturesCleared");

    const QStringList old{"old", "OldPic2", "OldPic1"};
    QTest::newRow("cancelled dialog") << "cancel"
                                      << "Old_Skin" << old << false;
    QTest::newRow("0-byte file") << "empty"
                                 << "New_Skin" << old << false;
    QTest::newRow("folder") << "folder"
                            << "New_Skin" << old << false;
    QTest::newRow("missing path") << "missing"
                                  << "New_Skin" << old << false;
    QTest::newRow("no read permission") << "unreadable"
                                        << "New_Skin" << old << false;
    QTest::newRow("FIFO") << "fifo"
                          << "New_Skin" << old << false;
    QTest::newRow("title under four characters") << "short"
                                                 << "Old_Skin" << old << false;
    QTest::newRow("scan fails part-way") << "partway"
                                         << "New_Skin" << QStringList{"new", "NewPic"} << true;
    QTest::newRow("scan fails before any name") << "nonames"
                                                << "New_Skin" << QStringList() << true;
}

void TestOpenWorkflow::badInput() {
    QFETCH(QString, kind);
    QFETCH(QString, packageName);
    QFETCH(QStringList, names);
    QFETCH(bool, picturesCleared);

    const QStringList oldPictures = env->state.pictures();
    const QString oldInt = env->state.intText();
    QVERIFY(!oldInt.isEmpty());
    const QString path = env->dir.filePath(QStringLiteral("New_Skin.utx"));
    if (kind == QLatin1String("cancel")) {
        env->files.cancelNext();
        FindFiles(env->state, env->dialog, env->boxes);
    } else if (kind == QLatin1String("short")) {
        open(testpkg::writeFile(env->dir, QStringLiteral("a.u"), package({"a"})));
    } else {
        if (kind == QLatin1String("empty"))
            testpkg::writeFile(env->dir, QStringLiteral("New_Skin.utx"), QByteArray());
        else if (kind == QLatin1String("folder"))
            QVERIFY(QDir(env->dir.path()).mkdir(QStringLiteral("New_Skin.utx")));
        else if (kind == QLatin1String("unreadable")) {
            if (geteuid() == 0)
                QSKIP("root reads files without read permission");
            testpkg::writeFile(env->dir, QStringLiteral("New_Skin.utx"), package({"new"}));
            QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
        } else if (kind == QLatin1String("fifo"))
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (kind == QLatin1String("partway"))
            testpkg::writeFile(env->dir, QStringLiteral("New_Skin.utx"),
                               package({"new", "NewPic"}, "cut"));
        else if (kind == QLatin1String("nonames"))
            testpkg::writeFile(env->dir, QStringLiteral("New_Skin.utx"), QByteArray(66, 'x'));
        QElapsedTimer timer;
        timer.start();
        open(path);
        QVERIFY(timer.elapsed() < 5000);
    }

    const RecordingMessageBox::Shown box = env->boxes.takeOnly();
    QCOMPARE(box.text, QStringLiteral("No files Selected"));
    QCOMPARE(box.title, QStringLiteral("File Error"));
    QCOMPARE(box.buttons, MessageBoxSeam::Buttons::OkCancel);
    QCOMPARE(box.icon, MessageBoxSeam::Icon::None);

    QCOMPARE(env->state.packageName(), packageName);
    QCOMPARE(env->state.skinDescription(), packageName);
    QCOMPARE(env->state.names(), names);
    QCOMPARE(env->state.pictures(), picturesCleared ? QStringList() : oldPictures);
    QCOMPARE(env->state.countText(),
             picturesCleared ? QStringLiteral("0 pics found") : QStringLiteral("2 pics found"));
    QCOMPARE(env->state.intText(), oldInt);
    QCOMPARE(env->state.makeIntEnabled(), !names.isEmpty());
}

void TestOpenWorkflow::cancelAfterSaveSetCancelError() {
    QString savePath;
    env->files.cancelNext();
    SaveIntFile(env->state, env->dialog, env->boxes, savePath);
    QCOMPARE(env->boxes.takeOnly().text, QStringLiteral("File Not Saved"));
    QVERIFY(env->dialog.cancelError);

    env->files.cancelNext();
    FindFiles(env->state, env->dialog, env->boxes);
    QCOMPARE(env->boxes.takeOnly().text, QStringLiteral("No files Selected"));
    QCOMPARE(env->state.packageName(), QStringLiteral("Old_Skin"));
    QCOMPARE(env->state.names(), oldNames);
    QVERIFY(env->state.makeIntEnabled());
}

QTEST_GUILESS_MAIN(TestOpenWorkflow)
#include "tst_openworkflow.moc"
