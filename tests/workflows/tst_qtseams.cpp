#include "workflows/QtFileDialog.h"
#include "workflows/QtMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace quorrel;

namespace {

// Runs `act` on the modal window as soon as it is open.
template <typename Window, typename Act> void whenOpen(Act act) {
    QTimer::singleShot(0, [act] {
        QTRY_VERIFY(qobject_cast<Window*>(QApplication::activeModalWidget()));
        act(qobject_cast<Window*>(QApplication::activeModalWidget()));
    });
}

} // namespace

class TestQtSeams : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void nameFilters();
    void defaultSuffix();
    void startFolder_data();
    void startFolder();
    void realSaveDialogAddsTheExtension();
    void realOpenDialog();
    void realMessageBox();
};

void TestQtSeams::nameFilters() {
    QCOMPARE(nameFiltersFrom(QStringLiteral("UTX Format (*.utx)|*.utx|All Files (*.*)|*.*")),
             (QStringList{"UTX Format (*.utx)", "All Files (*)"}));
    QCOMPARE(nameFiltersFrom(QStringLiteral("INT Format|*.int")),
             QStringList{"INT Format (*.int)"});
    QCOMPARE(nameFiltersFrom(QStringLiteral("Both|*.a;*.b")), QStringList{"Both (*.a *.b)"});
    QCOMPARE(nameFiltersFrom(QString()), QStringList());
}

void TestQtSeams::defaultSuffix() {
    QCOMPARE(defaultSuffixFrom(QStringLiteral("*.int")), QStringLiteral("int"));
    QCOMPARE(defaultSuffixFrom(QStringLiteral(".int")), QStringLiteral("int"));
    QCOMPARE(defaultSuffixFrom(QString()), QString());
}

void TestQtSeams::startFolder_data() {
    QTest::addColumn<QString>("made");     // folders made under the home folder
    QTest::addColumn<QString>("expected"); // relative to the home folder
    QTest::newRow("game under Wine, its own case") << ".wine/drive_c/UnrealTournament/Textures"
                                                   << ".wine/drive_c/UnrealTournament/Textures";
    QTest::newRow("game under Wine, lower case") << ".wine/drive_c/unrealtournament/textures"
                                                 << ".wine/drive_c/unrealtournament/textures";
    QTest::newRow("no textures folder") << ".wine/drive_c/UnrealTournament/System"
                                        << "";
    QTest::newRow("no Wine prefix") << "Documents"
                                    << "";
}

void TestQtSeams::startFolder() {
    QFETCH(QString, made);
    QFETCH(QString, expected);
    QTemporaryDir home;
    QVERIFY(QDir(home.path()).mkpath(made));
    const QString folder =
        startFolderFor(QStringLiteral("c:\\unrealtournament\\textures\\"), home.path());
    QCOMPARE(folder, QDir::cleanPath(home.filePath(expected)));
}

void TestQtSeams::realSaveDialogAddsTheExtension() {
    QTemporaryDir home;
    const QString system = home.filePath(QStringLiteral(".wine/drive_c/UnrealTournament/System"));
    QVERIFY(QDir().mkpath(system));
    qputenv("HOME", QFile::encodeName(home.path()));

    QString title;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        edit->setText(QStringLiteral("MySkin"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QtFileDialog seam(nullptr);
    const auto chosen =
        seam.choose({FileDialogRequest::Mode::Save, QStringLiteral("INT Format|*.int"),
                     QStringLiteral("c:\\unrealtournament\\system\\"), QStringLiteral("Pkg.int"),
                     QStringLiteral("*.int")});
    QCOMPARE(title, QStringLiteral("Save As"));
    QVERIFY(chosen);
    QCOMPARE(chosen->path, QDir(system).filePath(QStringLiteral("MySkin.int")));
    QCOMPARE(chosen->title, QStringLiteral("MySkin.int"));

    whenOpen<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    QVERIFY(!seam.choose({FileDialogRequest::Mode::Save, QStringLiteral("INT Format|*.int"),
                          QStringLiteral("c:\\unrealtournament\\system\\"), QString(),
                          QStringLiteral("*.int")}));
}

void TestQtSeams::realOpenDialog() {
    QTemporaryDir home;
    const QString textures =
        home.filePath(QStringLiteral(".wine/drive_c/UnrealTournament/Textures"));
    QVERIFY(QDir().mkpath(textures));
    QFile package(QDir(textures).filePath(QStringLiteral("Mesh_Skin.utx")));
    QVERIFY(package.open(QIODevice::WriteOnly));
    package.close();
    qputenv("HOME", QFile::encodeName(home.path()));

    QString title, folder;
    QStringList filters;
    whenOpen<QFileDialog>([&](QFileDialog* dialog) {
        title = dialog->windowTitle();
        folder = dialog->directory().absolutePath();
        filters = dialog->nameFilters();
        dialog->selectFile(QStringLiteral("Mesh_Skin.utx"));
        QTest::keyClick(dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")),
                        Qt::Key_Return);
    });
    const auto chosen = QtFileDialog(nullptr).choose(
        {FileDialogRequest::Mode::Open,
         QStringLiteral("UTX Format (*.utx)|*.utx|All Files (*.*)|*.*"),
         QStringLiteral("c:\\unrealtournament\\textures\\"), QString(), QString()});
    QCOMPARE(title, QStringLiteral("Open"));
    QCOMPARE(folder, textures);
    QCOMPARE(filters, (QStringList{"UTX Format (*.utx)", "All Files (*)"}));
    QVERIFY(chosen);
    QCOMPARE(chosen->path, package.fileName());
    QCOMPARE(chosen->title, QStringLiteral("Mesh_Skin.utx"));
}

void TestQtSeams::realMessageBox() {
    QString title, text;
    QMessageBox::StandardButtons buttons;
    QMessageBox::Icon icon = QMessageBox::Question;
    whenOpen<QMessageBox>([&](QMessageBox* box) {
        title = box->windowTitle();
        text = box->text();
        buttons = box->standardButtons();
        icon = box->icon();
        box->button(QMessageBox::Ok)->click();
    });
    QtMessageBox(nullptr).show(QStringLiteral("File Not Saved"), QStringLiteral("File Save Error"),
                               MessageBoxSeam::Buttons::Ok, MessageBoxSeam::Icon::Critical);
    QCOMPARE(title, QStringLiteral("File Save Error"));
    QCOMPARE(text, QStringLiteral("File Not Saved"));
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(icon, QMessageBox::Critical);

    whenOpen<QMessageBox>([&](QMessageBox* box) {
        buttons = box->standardButtons();
        icon = box->icon();
        box->button(QMessageBox::Cancel)->click();
    });
    QtMessageBox(nullptr).show(QStringLiteral("No files Selected"), QStringLiteral("File Error"),
                               MessageBoxSeam::Buttons::OkCancel, MessageBoxSeam::Icon::None);
    QCOMPARE(buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(icon, QMessageBox::NoIcon);
}

QTEST_MAIN(TestQtSeams)
#include "tst_qtseams.moc"
