#include "PackageBuilder.h"
#include "ScriptedSeams.h"
#include "TestFiles.h"

#include "game/GameFolders.h"
#include "game/SkinPackage.h"
#include "window/Form1.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QtGui/private/qzipreader_p.h>

using namespace quorrel;

// Drives the real window: real widgets, real events, dialogs answered by the test.
class TestForm1 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void keysAndClicks();
    void typingThePackageNameDerivesTheFields();
    void savesWhatQuorrelIntWrites();
    void infoPanel();
    void droppedPackage();
    void gameView();
    void modelFromAPickedFolder();
    void picturesFolder();
    void checkGameFolder();
    void resizeAtKnownFrames();

private:
    QWidget* widget(const char* name) {
        auto* w = form->findChild<QWidget*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QLineEdit* edit(const char* name) { return qobject_cast<QLineEdit*>(widget(name)); }
    QPlainTextEdit* box(const char* name) { return qobject_cast<QPlainTextEdit*>(widget(name)); }
    void click(const char* name) { QTest::mouseClick(widget(name), Qt::LeftButton); }
    void openPackage(const QString& path) {
        files.chooseNext(path);
        click("Command1");
    }
    QString skinPackage() {
        return testpkg::writeFile(dir, QStringLiteral("Mesh_Skin.utx"),
                                  testpkg::package({"x", "mesh_skin", "b", "Tigr4Face", "A"}));
    }

    // The Tigr mesh: a square facing the viewer, in slot 0, seen from both sides.
    static void writeSquareModel(const QTemporaryDir& in, const QString& path) {
        const testpkg::Mesh square{.vertices = {testpkg::packed(0, -9, -9),
                                                testpkg::packed(0, 9, -9), testpkg::packed(0, 9, 9),
                                                testpkg::packed(0, -9, 9)},
                                   .verticesPerFrame = 4,
                                   .faces = {{0, 1, 2, 0}, {0, 2, 3, 0}},
                                   .wedges = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}},
                                   .materials = {{256, 0}}};
        testpkg::writeFile(
            in, path, testpkg::realPackage({{"Tigr", "LodMesh", "Engine", [&](const auto& refs) {
                                                 return testpkg::meshData(square, refs);
                                             }}}));
    }
    // The hue in the middle of the model (lit, so only the hue counts).
    static char centre(QWidget* model) {
        const QColor c = model->grab().toImage().pixelColor(model->rect().center());
        return c.red() > 64 && c.green() < 32 && c.blue() < 32   ? 'r'
               : c.green() > 64 && c.red() < 32 && c.blue() < 32 ? 'g'
               : c.blue() > 64 && c.red() < 32 && c.green() < 32 ? 'b'
                                                                 : '?';
    }

    ScriptedFileDialog files;
    RecordingMessageBox boxes;
    RecordingBrowser browser;
    std::unique_ptr<Form1> form;
    QTemporaryDir dir;
};

void TestForm1::init() {
    files = ScriptedFileDialog();
    boxes = RecordingMessageBox();
    browser = RecordingBrowser();
    // The classic frame: 60 twips at the sides and bottom, 345 at the top.
    form = std::make_unique<Form1>(
        Form1Options{&files, &boxes, QMargins(4, 23, 4, 4), QString(), &browser});
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

// Catches a wrong Tab cycle, a button deaf to a key, a name box that opens on focus or only once.
void TestForm1::keysAndClicks() {
    auto cycle = [this] {
        widget("Text1")->setFocus();
        QStringList visited;
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        return visited.join(u' ');
    };
    QCOMPARE(cycle(), QStringLiteral("Text2 Text3 Command1 Text6 List2 Command3 Text1 Text2"));
    QVERIFY(box("Text6")->toPlainText().isEmpty());
    widget("Command3")->setFocus();
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        files.cancelNext();
        QTest::keyClick(widget("Command3"), key);
    }
    QCOMPARE(files.requests.size(), 3);
    for (int i = 0; i < 2; ++i) {
        files.cancelNext();
        click("Text1");
    }
    QCOMPARE(files.requests.size(), 5);
    QCOMPARE(boxes.shown.first().text + boxes.shown.last().text,
             QStringLiteral("File Not SavedNo files Selected"));
    openPackage(skinPackage());
    QCOMPARE(cycle(), QStringLiteral("Text2 Text3 Command1 Command2 Text6 List2 Command3 Text1"));
}

// Catches name boxes that are not bound both ways to the derivation.
void TestForm1::typingThePackageNameDerivesTheFields() {
    edit("Text1")->selectAll();
    QTest::keyClicks(widget("Text1"), QStringLiteral("Soldier_Tig"));
    QCOMPARE(edit("Text2")->text() + u'|' + edit("Text3")->text(),
             QStringLiteral("Soldier|Soldier_Tig"));
    edit("Text2")->selectAll();
    QTest::keyClicks(widget("Text2"), QStringLiteral("Mine"));
    QCOMPARE(form->state().meshName(), QStringLiteral("Mine"));
    QTest::keyClick(widget("Text1"), Qt::Key_Backspace);
    QCOMPARE(edit("Text2")->text() + u'|' + edit("Text3")->text(),
             QStringLiteral("Soldier|Soldier_Ti"));
}

// Catches saved bytes other than quorrel-int's (a bare CR or LF made CR LF) or lost edits.
void TestForm1::savesWhatQuorrelIntWrites() {
    QStringList packages = testpkg::sharedPackages();
    if (packages.isEmpty())
        qInfo("no real packages in %s; built packages only", QUORREL_TESTDATA_DIR);
    const QString crafted = testpkg::writeFile(
        dir, QStringLiteral("Mesh_Skin.utx"),
        testpkg::package({"x", "mesh_skin", "b\rc", "Tigr4Fa\nce", "A", "palette"}));
    const QString description = QString::fromUtf8("Jet \u00E9t\u00E9");
    const QString saved = dir.filePath(QStringLiteral("Saved.int"));
    QByteArray fromCli;
    for (const QString& package : packages << crafted) {
        openPackage(package);
        QStringList cliArguments{"--output", "-", package};
        if (package == crafted) {
            edit("Text3")->selectAll();
            for (const QChar c : description) // as an input method types
                QTest::sendKeyEvent(QTest::Click, widget("Text3"), Qt::Key_A, c, Qt::NoModifier);
            cliArguments << "--description" << description;
        }
        click("Command2");
        fromCli = testpkg::quorrelInt(cliArguments).out;
        files.chooseNext(saved);
        click("Command3");
        QCOMPARE(testpkg::readFile(saved), fromCli);
    }
    QVERIFY(fromCli.contains("Tigr4Fa\nce,Class=Texture,Description=\"Fa\nce\")"));
    const QAbstractItemModel* list = qobject_cast<QListView*>(widget("List2"))->model();
    QCOMPARE(list->rowCount(), 3);
    QCOMPARE(list->index(1, 0).data().toString(), QStringLiteral("b\rc"));

    // Once the user edits the text, what they see is saved, with CR LF line breaks.
    box("Text6")->moveCursor(QTextCursor::End);
    QTest::keyClicks(widget("Text6"), QStringLiteral("mine"));
    files.chooseNext(saved);
    click("Command3");
    QByteArray edited = fromCli.chopped(2) + "mine\r\n";
    edited.replace("b\rc", "b\r\nc").replace("Fa\nce", "Fa\r\nce");
    QCOMPARE(testpkg::readFile(saved), edited);
}

// Catches an info panel that leaves controls uncovered, keeps stale text or loses Make INT.
void TestForm1::infoPanel() {
    openPackage(skinPackage());
    QTest::mouseDClick(widget("Image1"), Qt::LeftButton);
    QVERIFY(widget("Picture1")->isVisible() && widget("Command4")->isVisible());
    for (const char* name : {"Command1", "Command2", "Command3"})
        QVERIFY2(!widget(name)->isVisible(), name);
    QVERIFY(box("Text4")->toPlainText().startsWith(QStringLiteral("Quorrel File Generator\n")));
    for (const char* name : {"Text1", "List2", "Text6"}) {
        QWidget* top = form->childAt(widget(name)->geometry().center());
        QVERIFY2(widget("Picture1")->isAncestorOf(top), name);
    }

    box("Text4")->moveCursor(QTextCursor::End);
    QTest::keyClicks(widget("Text4"), QStringLiteral(" typed"));
    click("Command4");
    QVERIFY(!widget("Picture1")->isVisible() && !widget("Command4")->isVisible());
    QVERIFY(widget("Command2")->isVisible() && widget("Command2")->isEnabled());
    QVERIFY(box("Text4")->toPlainText().endsWith(QStringLiteral("example.org typed")));
    QTest::mouseDClick(widget("Image1"), Qt::LeftButton);
    QVERIFY(box("Text4")->toPlainText().endsWith(QStringLiteral("example.org")));
}

// Catches a drop that opens otherwise than Find Files, that takes more or less than one file, or
// a folder otherwise than as its pictures.
void TestForm1::droppedPackage() {
    auto drop = [](QWidget* target, const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(QPoint(5, 5), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(5, 5), actions, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        QCoreApplication::processEvents();
        return enter.isAccepted() && dropped.dropAction() == Qt::CopyAction;
    };
    const QUrl package = QUrl::fromLocalFile(skinPackage());
    QVERIFY(!drop(form.get(), {package, package}));
    QVERIFY(drop(form.get(), {QUrl::fromLocalFile(dir.path())}));
    QCOMPARE(boxes.takeOnly().text, QDir::toNativeSeparators(dir.path()) +
                                        ": the folder holds no PNG, BMP, TGA or PCX picture");
    QVERIFY(form->state().pictures().isEmpty());
    QVERIFY(drop(box("Text6")->viewport(), {package}));
    QCOMPARE(form->state().pictures(), (QStringList{"A", "b", "Tigr4Face"}));
    QVERIFY(boxes.shown.isEmpty());
}

// Catches a game view that does not open each way, lags behind the INT text, or whose game INT
// is not what quorrel-int --complete writes.
void TestForm1::gameView() {
    const QString package = testpkg::writeFile(
        dir, QStringLiteral("Tigr_Cats.utx"),
        testpkg::realPackage(
            {{"Tigr1"}, {"Tigr1T_0"}, {"Tigr4Bob"}, {"Tigr5Bob"}, {"Tigr4Ann"}, {"Tigr5Ann"}}));
    openPackage(package);
    auto view = [this] { return form->findChild<QWidget*>(QStringLiteral("GameView")); };
    auto list = [&](const char* name) {
        QStringList items;
        auto* shown = view()->findChild<QListWidget*>(QString::fromLatin1(name));
        for (int row = 0; row < shown->count(); ++row)
            items << shown->item(row)->text();
        return items.join(u'|');
    };
    QTest::keyClick(widget("Text1"), Qt::Key_G, Qt::ControlModifier);
    QTRY_VERIFY(view() && view()->isVisible());
    view()->close();
    auto* pictures = qobject_cast<QListView*>(widget("List2"));
    const QRect third = pictures->visualRect(pictures->model()->index(2, 0)); // after Tigr1T_0
    QTest::mouseClick(pictures->viewport(), Qt::LeftButton, {}, third.center());
    QVERIFY(!view()->isVisible()); // a click only chooses
    QTest::mouseDClick(pictures->viewport(), Qt::LeftButton, {}, third.center());
    QTRY_VERIFY(view()->isVisible());
    auto shown = [&] {
        const QModelIndex index =
            view()->findChild<QListView*>(QStringLiteral("textures"))->currentIndex();
        return index.data().toString().section(u'\n', 0, 0);
    };
    QCOMPARE(shown(), QStringLiteral("Tigr4Bob"));
    view()->close();
    QTimer::singleShot(0, [] { // the INT box's own menu, with the way to the game view
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        for (QAction* action : menu ? menu->actions() : QList<QAction*>()) {
            if (action->text() == QLatin1String("Game View"))
                action->trigger();
        }
        if (menu)
            menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(box("Text6")->viewport(), &menuEvent);
    QTRY_VERIFY(view()->isVisible());

    auto type = [this](const QString& lines) { // as the author types, line by line
        for (const QString& line : lines.split(u'\n')) {
            QTest::keyClicks(box("Text6"), line);
            QTest::keyClick(box("Text6"), Qt::Key_Return);
        }
    };
    type("[public]\nObject=(Name=Tigr_Cats.Tigr1,Class=Texture,Description=T)\n"
         "Object=(Name=Tigr_Cats.Tigr4Ann,Class=Texture,Description=Ann)");
    QTRY_COMPARE(list("skins") + u'/' + list("faces"),
                 QStringLiteral("Tigr1  \"T\"/Tigr4Ann  \"Ann\""));
    QCOMPARE(list("findings"),
             QStringLiteral("Tigr4Bob: the face has no description; the menu won't list it"));
    auto* textures = view()->findChild<QListView*>(QStringLiteral("textures"));
    for (int row = 0; row < textures->model()->rowCount(); ++row) { // names and roles shown whole
        const QModelIndex index = textures->model()->index(row, 0);
        for (const QString& line : index.data().toString().split(u'\n'))
            QVERIFY2(textures->fontMetrics().horizontalAdvance(line) <
                         textures->visualRect(index).width(),
                     qPrintable(line));
    }
    textures->setCurrentIndex({});
    view()->findChild<QListWidget*>(QStringLiteral("findings"))->setCurrentRow(0);
    QCOMPARE(shown(), QStringLiteral("Tigr4Bob")); // choosing a finding shows its texture
    type("Object=(Name=Tigr_Cats.Tigr4Bob,Class=Texture,Description=Bob)");
    QTRY_COMPARE(list("faces"), QStringLiteral("Tigr4Ann  \"Ann\"|Tigr4Bob  \"Bob\""));

    edit("Text3")->setText(QStringLiteral("Tabby"));
    QTest::mouseClick(view()->findChild<QPushButton*>(QStringLiteral("useGameInt")),
                      Qt::LeftButton);
    const QString saved = dir.filePath(QStringLiteral("Game.int"));
    files.chooseNext(saved);
    click("Command3");
    QCOMPARE(testpkg::readFile(saved),
             testpkg::quorrelInt({"--complete", "--description", "Tabby", "-o", "-", package}).out);

    // The cow's menu: its skins by their names, its talk picture and team textures left out.
    openPackage(testpkg::writeFile(
        dir, QStringLiteral("tcowmeshskins.utx"),
        testpkg::realPackage({{"warcowface"}, {"warcow"}, {"T_cow_0"}, {"atomiccow"}})));
    QTest::mouseClick(view()->findChild<QPushButton*>(QStringLiteral("useGameInt")),
                      Qt::LeftButton);
    QTRY_COMPARE(list("skins"), QStringLiteral("warcow  \"warcow\"|atomiccow  \"atomiccow\""));
    QStringList roles;
    for (int row = 0; row < textures->model()->rowCount(); ++row)
        roles << textures->model()->index(row, 0).data().toString().section(u'\n', 1);
    QCOMPARE(roles, (QStringList{"portrait", "skin", "team colour", "skin"}));

    openPackage(skinPackage()); // names only: no package the game could read
    QTRY_COMPARE(view()->findChild<QLabel*>(QStringLiteral("status"))->text(),
                 QDir::toNativeSeparators(dir.filePath(QStringLiteral("Mesh_Skin.utx"))) +
                     QStringLiteral(": not a package: the signature is missing"));
    QTRY_COMPARE(list("skins") + list("findings"), QString());
}

// Catches a model not looked for in the folder the author picks, or a team choice not drawn.
void TestForm1::modelFromAPickedFolder() {
    using testpkg::texture, testpkg::textureTags;
    const QByteArray red("\xFF\0\0\0", 4), blue("\0\0\xFF\0", 4);
    const auto tags = textureTags(0, "Pal");
    const QString package = testpkg::writeFile(
        dir, QStringLiteral("Textures/Tigr_Cats.utx"),
        testpkg::realPackage({testpkg::palette("Pal", red + blue), // indices 0 and 1
                              texture("Tigr1", tags, {{{1, 1, QByteArray(1, '\0')}}}),
                              texture("Tigr1T_1", tags, {{{1, 1, QByteArray(1, '\1')}}})}));
    writeSquareModel(dir, QStringLiteral("Elsewhere/Models.u"));
    openPackage(package);
    QTest::keyClick(widget("Text1"), Qt::Key_G, Qt::ControlModifier);
    auto* view = form->findChild<QWidget*>(QStringLiteral("GameView"));
    auto* note = view->findChild<QLabel*>(QStringLiteral("modelNote"));
    QTRY_VERIFY(note->text().startsWith(QStringLiteral("no mesh Tigr in the .u packages of ")));
    files.chooseNext(dir.filePath(QStringLiteral("Elsewhere")));
    QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("pickFolder")), Qt::LeftButton);
    QCOMPARE(files.requests.last().mode, FileDialogRequest::Mode::Folder);
    QVERIFY2(note->text().startsWith(QStringLiteral("Tigr, from ")), qPrintable(note->text()));
    auto* model = view->findChild<QWidget*>(QStringLiteral("model"));
    QCOMPARE(centre(model), 'r');
    view->findChild<QComboBox*>(QStringLiteral("team"))->setCurrentIndex(2); // blue
    QCOMPARE(centre(model), 'b');
}

// Catches a pictures folder not opened as its package, a saved picture not on the model or not
// with the chosen skin, a half-saved one that loses its texture or says nothing, a picture list
// that misses a new or removed picture, a release other than the saved package and .int byte for
// byte, and a refused folder or a full disk that changes anything.
void TestForm1::picturesFolder() {
    QTemporaryDir game; // a game folder of its own, which Windows removes only once unwatched
    const auto unwatch = qScopeGuard([this] { form.reset(); });
    using testpkg::writeFile;
    auto png = [](QColor colour) {
        QImage image(1, 1, QImage::Format_RGB32);
        image.fill(colour);
        return testpkg::pictureFile(image, "PNG");
    };
    writeSquareModel(game, QStringLiteral("System/Models.u"));
    writeFile(game, QStringLiteral("Textures/Tigr_Cats/Tigr1.png"), png(Qt::red));
    const QString zebr =
        writeFile(game, QStringLiteral("Textures/Tigr_Cats/Zebr1.png"), png(Qt::green));
    QTest::keyClick(widget("Text1"), Qt::Key_G, Qt::ControlModifier);
    auto* view = form->findChild<QWidget*>(QStringLiteral("GameView"));
    auto press = [view](const char* name) {
        QTest::mouseClick(view->findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    };
    files.chooseNext(game.filePath(QStringLiteral("Textures/Tigr_Cats")));
    press("openFolder");
    QCOMPARE(files.requests.last().mode, FileDialogRequest::Mode::Folder);
    QCOMPARE(edit("Text1")->text() + form->state().countText(), "Tigr_Cats2 pics found");
    auto* model = view->findChild<QWidget*>(QStringLiteral("model"));
    QTest::mousePress(model, Qt::LeftButton); // held, so it stops turning
    QTRY_COMPARE(centre(model), 'r');
    press("useGameInt");
    auto* skins = view->findChild<QListWidget*>(QStringLiteral("skins"));
    QTRY_COMPARE(skins->count(), 2);
    skins->setCurrentRow(1);
    QCOMPARE(centre(model), 'g');
    // Saved by a new file renamed over the old, as many programs save, while something still
    // holds the old one open; the model found before is kept, not looked for again.
    QVERIFY(QFile::remove(game.filePath(QStringLiteral("System/Models.u"))));
    QFile old(zebr);
#ifndef Q_OS_WIN // where no file held open can be replaced
    QVERIFY(old.open(QIODevice::ReadOnly));
#endif
    QSaveFile renamed(zebr);
    QVERIFY(renamed.open(QIODevice::WriteOnly) && renamed.write(png(Qt::blue)) && renamed.commit());
    QTRY_COMPARE(centre(model), 'b');
    QCOMPARE(skins->currentRow(), 1);

    // Half a picture: the texture read before stays, the reason under its thumbnail.
    const QByteArray red = png(Qt::red);
    writeFile(game, QStringLiteral("Textures/Tigr_Cats/Zebr1.png"), red.left(red.size() / 2));
    const QModelIndex zebrCell =
        view->findChild<QListView*>(QStringLiteral("textures"))->model()->index(1, 0);
    QTRY_COMPARE(zebrCell.data().toString().count(u'\n'), 2);
    QCOMPARE(centre(model), 'b');
    press("savePackage");
    QVERIFY(boxes.takeOnly().text.contains(QStringLiteral("Zebr1.png: ")));
    writeFile(game, QStringLiteral("Textures/Tigr_Cats/Zebr1.png"), red);
    QTRY_COMPARE(centre(model), 'r');
    QCOMPARE(zebrCell.data().toString().count(u'\n'), 1);

    const QString intText = box("Text6")->toPlainText();
    const QString tigr2 = writeFile(game, QStringLiteral("Textures/Tigr_Cats/Tigr2.png"), red);
    QTRY_COMPARE(form->state().pictures(), (QStringList{"Tigr1", "Tigr2", "Zebr1"}));
    QVERIFY(QFile::remove(tigr2) && QFile::remove(zebr));
    QTRY_COMPARE(form->state().pictures(), QStringList{"Tigr1"});
    QCOMPARE(box("Text6")->toPlainText() + edit("Text1")->text(), intText + "Tigr_Cats");

    const QString package = game.filePath(QStringLiteral("Tigr_Cats.utx"));
    const QString intFile = game.filePath(QStringLiteral("Tigr_Cats.int"));
    const QString zip = game.filePath(QStringLiteral("Tigr_Cats.zip"));
    files.chooseNext(package);
    press("savePackage");
    QCOMPARE(files.requests.last().initialDirectory, kTexturesFolder);
    QCOMPARE(readSkinPackage(package).textures, QStringList{"Tigr1"});
    files.chooseNext(intFile);
    click("Command3");
    files.chooseNext(zip);
    press("release");
    QZipReader release(zip);
    QCOMPARE(release.fileData("Textures/Tigr_Cats.utx"), testpkg::readFile(package));
    QCOMPARE(release.fileData("System/Tigr_Cats.int"), testpkg::readFile(intFile));

    QVERIFY(QDir(game.path()).mkpath(QStringLiteral("Empty")));
    form->openPackage(game.filePath(QStringLiteral("Empty")));
    QCOMPARE(boxes.takeOnly().title, QStringLiteral("Folder Not Opened"));
    QCOMPARE(edit("Text1")->text() + form->state().countText(), "Tigr_Cats1 pics found");
    testpkg::FullDisk disk(game.filePath(QStringLiteral("full")), QStringLiteral("Tigr_Cats.utx"),
                           "old");
    if (!disk.mounted)
        QSKIP("cannot mount a small tmpfs here (needs Linux and root); no disk to fill");
    for (const char* button : {"savePackage", "release"}) {
        files.chooseNext(game.filePath(QStringLiteral("full/Tigr_Cats.utx")));
        press(button);
        QVERIFY(boxes.takeOnly().text.startsWith(QStringLiteral("could not write")));
    }
    QCOMPARE(testpkg::readFile(game.filePath(QStringLiteral("full/Tigr_Cats.utx"))), "old");
}

// Catches a game check that asks for no folder or not from the game's, shows no page, or fails
// without a word.
void TestForm1::checkGameFolder() {
    testpkg::writeFile(dir, "UT/System/Botpack.u", testpkg::realPackage({{"Soldier", "LodMesh"}}));
    testpkg::writeFile(dir, "UT/Textures/SoldierSkins_Tigr.utx", testpkg::realPackage({{"Tigr1"}}));
    QTest::keyClick(widget("Text1"), Qt::Key_G, Qt::ControlModifier);
    auto* view = form->findChild<QWidget*>(QStringLiteral("GameView"));
    QTRY_VERIFY(view && view->isVisible());
    auto check = [&](const QString& folder) {
        files.chooseNext(folder);
        QTest::mouseClick(view->findChild<QPushButton*>(QStringLiteral("checkGame")),
                          Qt::LeftButton);
        return view->findChild<QLabel*>(QStringLiteral("gameCheck"))->text();
    };
    const QString game = QDir::toNativeSeparators(dir.filePath("UT"));
    const QString told = check(dir.filePath("UT"));
    QCOMPARE(files.requests.last().mode, FileDialogRequest::Mode::Folder);
    QCOMPARE(files.requests.last().initialDirectory, kGameFolder);
    QCOMPARE(browser.shown.size(), 1);
    const QString page = browser.shown.first();
    const auto removePage = qScopeGuard([&] { QFile::remove(page); });
    QCOMPARE(told, game + ": 1 problem; the page is " + QDir::toNativeSeparators(page));
    QVERIFY(testpkg::readFile(page).contains("SoldierSkins_Tigr.utx: a skin package of Soldier"));
    QCOMPARE(check(QString()), told); // cancelled
    QCOMPARE(check(dir.path()), QDir::toNativeSeparators(dir.path()) + ": " +
                                    QDir::toNativeSeparators(dir.path()) +
                                    " holds no System folder: it is no game folder");
    QCOMPARE(browser.shown.size(), 1);
}

// Catches wrong sizes at known frames, "All Done" out of reach, Frame1 in front of Text6.
void TestForm1::resizeAtKnownFrames() {
    // Frame1, Text6, Picture1, Text4 (width x height), then the width of All Done, its top and the
    // top of Find Files, Make INT and Save, all in twips. Each value is set in whole pixels of 15
    // twips, and later steps read the value the widget took.
    auto figures = [this] {
        QStringList f;
        for (const char* name : {"Frame1", "Text6", "Picture1", "Text4"})
            f << QStringLiteral("%1x%2")
                     .arg(widget(name)->width() * 15)
                     .arg(widget(name)->height() * 15);
        f << QString::number(widget("Command4")->width() * 15);
        for (const char* name : {"Command4", "Command1", "Command2", "Command3"})
            f << QString::number(widget(name)->y() * 15);
        return f.join(u' ');
    };
    // Outer 5295 x 4065 twips, as designed: the frame keeps its size, the panel takes the window
    // less 300 x 800 (3265 high, 3270 in whole pixels), the buttons go 50 below the frame.
    QCOMPARE(figures(), QStringLiteral("4995x2385 4815x2055 4995x3270 4890x3165 5010 3375 3360 "
                                       "3360 3360"));
    QCOMPARE(form->childAt(widget("Text6")->geometry().center()), box("Text6")->viewport());
    form->resize(412, 311); // outer 6300 x 5070 twips
    QTRY_COMPARE(figures(), QStringLiteral("6000x3390 5820x3060 6000x4275 5895x4170 6015 4380 "
                                           "4365 4365 4365"));

    Form1 unframed(Form1Options{&files, &boxes, std::nullopt});
    unframed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&unframed));
    auto* allDone = unframed.findChild<QWidget*>(QStringLiteral("Command4"));
    QCOMPARE(allDone->y() * 15, 3375); // the classic frame stands in for one not known at load
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
