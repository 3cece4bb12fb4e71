#include "PackageBuilder.h"
#include "ScriptedSeams.h"

#include "core/IntText.h"
#include "core/Windows1252.h"
#include "window/Form1.h"
#include "window/InfoText.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace quorrel;

namespace {

// Types any characters, as an input method would (keyClicks takes Latin-1 keys only).
void typeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

} // namespace

// Drives the real window: real widgets, real events, dialogs answered by the test.
class TestForm1 : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void startState();
    void lookOfTheControls();
    void stackingOrder();
    void tabCycle();
    void keyboardPressesButtons();
    void text1ClickOpensEveryTime();
    void typingThePackageNameDerivesTheFields();
    void sortedPictureList();
    void roundTripToASavedFile();
    void resizeAtAKnownFrame();
    void frameUnknownAtLoad();
    void tinyWindowDoesNotFail();
    void infoPanel_data();
    void infoPanel();

private:
    template <typename W> W* control(const char* name) {
        W* w = form->findChild<W*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QWidget* widget(const char* name) { return control<QWidget>(name); }
    void openPackage(const QString& path) {
        files.chooseNext(path);
        QTest::mouseClick(control<QPushButton>("Command1"), Qt::LeftButton);
    }
    QPoint pixelsOf(const char* name) { return widget(name)->geometry().topLeft(); }

    ScriptedFileDialog files;
    RecordingMessageBox boxes;
    std::unique_ptr<Form1> form;
    QTemporaryDir dir;
};

void TestForm1::init() {
    files = ScriptedFileDialog();
    boxes = RecordingMessageBox();
    // The classic frame: 60 twips at the sides and bottom, 345 at the top.
    form = std::make_unique<Form1>(Form1Options{&files, &boxes, QMargins(4, 23, 4, 4)});
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void TestForm1::cleanup() {
    QVERIFY(files.allAnswered());
    form.reset();
}

void TestForm1::startState() {
    QCOMPARE(form->windowTitle(), QStringLiteral("Quorrel File Generator"));
    QCOMPARE(form->size(), QSize(345, 244)); // 5175 x 3660 twips
    QCOMPARE(control<QLineEdit>("Text1")->text(), QStringLiteral("UTX Name"));
    QCOMPARE(control<QLineEdit>("Text2")->text(), QStringLiteral("Mesh Name"));
    QCOMPARE(control<QLineEdit>("Text3")->text(), QStringLiteral("Skin Description"));
    for (const char* name : {"Command1", "Command3"})
        QVERIFY(widget(name)->isVisible() && widget(name)->isEnabled());
    QVERIFY(widget("Command2")->isVisible());
    QVERIFY(!widget("Command2")->isEnabled());
    for (const char* name : {"Command4", "Picture1", "List1", "Label1"})
        QVERIFY2(!widget(name)->isVisible(), name);
    QCOMPARE(control<QListView>("List2")->model()->rowCount(), 0);
    QVERIFY(control<QPlainTextEdit>("Text6")->toPlainText().isEmpty());
    QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral(" 0 pics found"));
    QCOMPARE(QApplication::focusWidget(), widget("Text1"));
    QVERIFY(files.requests.isEmpty()); // starting opens nothing

    const QImage icon = form->windowIcon().pixmap(32, 32).toImage();
    QCOMPARE(icon.size(), QSize(32, 32));
    const QImage storedIcon(QStringLiteral(":/quorrel/quorrel-icon.png"));
    QCOMPARE(storedIcon.format(), QImage::Format_Indexed8);
    QVERIFY(storedIcon.colorCount() <= 256);
    QFile picture(QStringLiteral(":/quorrel/quorrel-picture.bmp"));
    QVERIFY(picture.open(QIODevice::ReadOnly));
    const QByteArray bmp = picture.readAll();
    QCOMPARE(bmp.mid(18, 4), QByteArray("\x64\x00\x00\x00", 4)); // 100 wide
    QCOMPARE(bmp.mid(22, 4), QByteArray("\x64\x00\x00\x00", 4)); // 100 high
    QCOMPARE(bmp.mid(28, 2), QByteArray("\x18\x00", 2));         // 24 bits a pixel
}

void TestForm1::lookOfTheControls() {
    QCOMPARE(form->palette().color(QPalette::Window), QColor(64, 64, 64));
    QCOMPARE(widget("Text1")->toolTip(), QStringLiteral("UTX Filename"));
    QCOMPARE(widget("Text2")->toolTip(), QStringLiteral("Mesh Name"));
    QCOMPARE(widget("Text3")->toolTip(), QStringLiteral("Skin Description"));
    QCOMPARE(widget("List2")->toolTip(), QStringLiteral("List of Pics in the UTX"));
    QCOMPARE(widget("Image1")->toolTip(), QStringLiteral("Double click for info"));
    for (const char* name : {"Text1", "Text2", "Text3", "Text6", "List2"}) {
        QCOMPARE(widget(name)->font().pointSizeF(), 6.75);
        QCOMPARE(widget(name)->font().weight(), QFont::Normal);
        // Green on black, as drawn.
        const QImage image = widget(name)->grab().toImage();
        QCOMPARE(QColor(image.pixel(image.width() / 2, image.height() - 3)), QColor(Qt::black));
    }
    QCOMPARE(control<QLineEdit>("Text1")->alignment(), Qt::AlignCenter);
    QCOMPARE(control<QLabel>("Label1")->font().pointSizeF(), 13.5);
    QCOMPARE(control<QLabel>("Label1")->font().weight(), QFont::Bold);
    QCOMPARE(control<QGroupBox>("Frame1")->title(), QStringLiteral("Generated INT"));
    QCOMPARE(widget("Frame1")->palette().color(QPalette::WindowText), QColor(0, 192, 0));
    QCOMPARE(control<QPlainTextEdit>("Text6")->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(control<QPlainTextEdit>("Text6")->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(widget("Text4")->parentWidget(), widget("Picture1"));
    QCOMPARE(control<QLabel>("Image1")->pixmap().size(), QSize(100, 100));
    QCOMPARE(pixelsOf("Image1"), QPoint(136, 2));
    QCOMPARE(widget("Image1")->size(), QSize(72, 57));
    QCOMPARE(pixelsOf("List2"), QPoint(210, 2));
    QCOMPARE(pixelsOf("Text6"), QPoint(12, 78));
}

void TestForm1::stackingOrder() {
    QStringList backToFront;
    for (QObject* child : form->children()) {
        if (child->isWidgetType())
            backToFront << child->objectName();
    }
    QCOMPARE(backToFront, (QStringList{"Image1", "Label1", "Command4", "Text1", "Text2", "Text3",
                                       "Command2", "List1", "List2", "Command3", "Frame1", "Text6",
                                       "Picture1", "Command1"}));
    // Text6 lies inside Frame1's area and is drawn in front of it.
    QCOMPARE(form->childAt(widget("Text6")->geometry().center()),
             control<QPlainTextEdit>("Text6")->viewport());
}

void TestForm1::tabCycle() {
    auto cycle = [this] {
        widget("Text1")->setFocus();
        QStringList visited;
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        return visited;
    };
    QCOMPARE(cycle(), (QStringList{"Text2", "Text3", "Command1", "Text6", "List2", "Command3",
                                   "Text1", "Text2", "Text3"}));
    QVERIFY(control<QPlainTextEdit>("Text6")->toPlainText().isEmpty()); // Tab typed nothing

    openPackage(testpkg::testdata(QStringLiteral("ConstructorTex.utx")));
    QVERIFY(widget("Command2")->isEnabled());
    QCOMPARE(cycle(), (QStringList{"Text2", "Text3", "Command1", "Command2", "Text6", "List2",
                                   "Command3", "Text1", "Text2"}));
}

void TestForm1::keyboardPressesButtons() {
    widget("Command3")->setFocus();
    files.cancelNext();
    QTest::keyClick(widget("Command3"), Qt::Key_Space);
    files.cancelNext();
    QTest::keyClick(widget("Command3"), Qt::Key_Return);
    files.cancelNext();
    QTest::keyClick(widget("Command3"), Qt::Key_Enter);
    QCOMPARE(boxes.shown.size(), 3);
    QCOMPARE(boxes.shown.first().text, QStringLiteral("File Not Saved"));
    QCOMPARE(QApplication::focusWidget(), widget("Command3"));
}

void TestForm1::text1ClickOpensEveryTime() {
    // Tabbing into the box opens nothing.
    widget("Command3")->setFocus();
    QTest::keyClick(widget("Command3"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), widget("Text1"));
    QVERIFY(files.requests.isEmpty());

    for (int i = 0; i < 2; ++i) {
        files.cancelNext();
        QTest::mouseClick(widget("Text1"), Qt::LeftButton);
    }
    QCOMPARE(files.requests.size(), 2);
    QCOMPARE(boxes.shown.size(), 2);
    QCOMPARE(boxes.shown.first().text, QStringLiteral("No files Selected"));
    QCOMPARE(control<QLineEdit>("Text1")->text(), QStringLiteral("UTX Name"));
    QCOMPARE(QApplication::focusWidget(), widget("Text1"));
}

void TestForm1::typingThePackageNameDerivesTheFields() {
    auto* text1 = control<QLineEdit>("Text1");
    text1->selectAll();
    QTest::keyClicks(text1, QStringLiteral("Soldier_Tig"));
    QCOMPARE(control<QLineEdit>("Text2")->text(), QStringLiteral("Soldier"));
    QCOMPARE(control<QLineEdit>("Text3")->text(), QStringLiteral("Soldier_Tig"));
    // The user's own mesh name stands until the package name changes again.
    control<QLineEdit>("Text2")->selectAll();
    QTest::keyClicks(widget("Text2"), QStringLiteral("Mine"));
    QCOMPARE(form->state().meshName(), QStringLiteral("Mine"));
    QTest::keyClick(text1, Qt::Key_Backspace);
    QCOMPARE(control<QLineEdit>("Text2")->text(), QStringLiteral("Soldier"));
    QCOMPARE(control<QLineEdit>("Text3")->text(), QStringLiteral("Soldier_Ti"));
}

void TestForm1::sortedPictureList() {
    openPackage(
        testpkg::writeFile(dir, QStringLiteral("Mesh_Skin.utx"),
                           testpkg::package({"x", "mesh_skin", "b", "A", "c", "Tigr10", "Tigr2"})));
    QVERIFY(boxes.shown.isEmpty());
    auto rows = [](QListView* list) {
        QStringList items;
        for (int r = 0; r < list->model()->rowCount(); ++r)
            items << list->model()->index(r, 0).data().toString();
        return items;
    };
    QCOMPARE(rows(control<QListView>("List2")), (QStringList{"A", "b", "c", "Tigr10", "Tigr2"}));
    QCOMPARE(rows(control<QListView>("List1")),
             (QStringList{"x", "mesh_skin", "b", "A", "c", "Tigr10", "Tigr2"}));
    QCOMPARE(control<QLabel>("Label1")->text(), QStringLiteral("5 pics found"));
    QVERIFY(!widget("Label1")->isVisible());
    QVERIFY(!widget("List1")->isVisible());
}

void TestForm1::roundTripToASavedFile() {
    const QString package = testpkg::testdata(QStringLiteral("ConstructorTex.utx"));
    openPackage(package);
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(control<QLineEdit>("Text1")->text(), QStringLiteral("ConstructorTex"));
    QCOMPARE(control<QLineEdit>("Text2")->text(), QStringLiteral("ConstructorTex"));

    // A description with characters outside ASCII, typed by the user.
    control<QLineEdit>("Text3")->selectAll();
    typeText(widget("Text3"), QString::fromUtf8("Jet \u00E9t\u00E9 \u20AC"));
    QTest::mouseClick(control<QPushButton>("Command2"), Qt::LeftButton);
    const QString intText =
        buildIntText(QStringLiteral("ConstructorTex"),
                     QString::fromUtf8("Jet \u00E9t\u00E9 \u20AC"), form->state().pictures());
    QVERIFY(intText.count(QStringLiteral("Object=")) > 10);
    QCOMPARE(control<QPlainTextEdit>("Text6")->toPlainText(),
             QString(intText).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));

    const QString saved = dir.filePath(QStringLiteral("ConstructorTex.int"));
    files.chooseNext(saved);
    QTest::mouseClick(control<QPushButton>("Command3"), Qt::LeftButton);
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(files.requests.last().fileName, QStringLiteral("ConstructorTex.int"));
    const QByteArray bytes = testpkg::readFile(saved);
    QCOMPARE(bytes, windows1252::encode(intText) + "\r\n");
    QVERIFY(bytes.endsWith("\r\n\r\n"));
    QVERIFY(bytes.contains("Description=\"Jet \xE9t\xE9 \x80\""));

    // The user's own edit goes into the file as typed, with CR LF line ends.
    auto* text6 = control<QPlainTextEdit>("Text6");
    text6->moveCursor(QTextCursor::End);
    QTest::keyClicks(text6, QStringLiteral("; mine"));
    QTest::keyClick(text6, Qt::Key_Return);
    QTest::keyClicks(text6, QStringLiteral("last"));
    files.chooseNext(saved);
    QTest::mouseClick(control<QPushButton>("Command3"), Qt::LeftButton);
    QCOMPARE(testpkg::readFile(saved), windows1252::encode(intText) + "; mine\r\nlast\r\n");
}

void TestForm1::resizeAtAKnownFrame() {
    struct Figures {
        QSize frame1, text6, picture1, text4;
        int allDoneWidth, allDoneTop, buttonsTop;
    };
    auto read = [this] {
        return Figures{widget("Frame1")->size(),    widget("Text6")->size(),
                       widget("Picture1")->size(),  widget("Text4")->size(),
                       widget("Command4")->width(), widget("Command4")->y(),
                       widget("Command1")->y()};
    };
    auto check = [this](const Figures& f, const Figures& e) {
        QCOMPARE(f.frame1, e.frame1);
        QCOMPARE(f.text6, e.text6);
        QCOMPARE(f.picture1, e.picture1);
        QCOMPARE(f.text4, e.text4);
        QCOMPARE(f.allDoneWidth, e.allDoneWidth);
        QCOMPARE(f.allDoneTop, e.allDoneTop);
        QCOMPARE(f.buttonsTop, e.buttonsTop);
        QCOMPARE(widget("Command2")->y(), e.buttonsTop);
        QCOMPARE(widget("Command3")->y(), e.buttonsTop);
    };
    // Outer 5295 x 4065 twips; sizes snap to whole pixels and later steps read the snapped value:
    // the panel's 3265 twips become 218 pixels (3270), so its text box is 3170 - 100 ... and so on.
    check(read(),
          {QSize(333, 159), QSize(321, 137), QSize(333, 218), QSize(326, 211), 334, 225, 224});

    // Outer 6300 x 5070 twips.
    form->resize(412, 311);
    QTRY_COMPARE(widget("Frame1")->width(), 400);
    check(read(),
          {QSize(400, 226), QSize(388, 204), QSize(400, 285), QSize(393, 278), 401, 292, 291});

    // The info panel follows the window while it is open.
    QTest::mouseDClick(widget("Image1"), Qt::LeftButton);
    form->resize(345, 244);
    QTRY_COMPARE(widget("Picture1")->size(), QSize(333, 218));
    QVERIFY(widget("Command4")->isVisible());
    QVERIFY(widget("Command4")->geometry().bottom() < form->height());
}

void TestForm1::frameUnknownAtLoad() {
    // Before it is shown the window has no frame yet; the classic frame stands in, so the open
    // info panel and "All Done" fit the window.
    Form1 unframed(Form1Options{&files, &boxes, std::nullopt});
    unframed.show();
    QVERIFY(QTest::qWaitForWindowExposed(&unframed));
    auto* picture1 = unframed.findChild<QWidget*>(QStringLiteral("Picture1"));
    auto* command4 = unframed.findChild<QWidget*>(QStringLiteral("Command4"));
    QCOMPARE(picture1->size(), QSize(333, 218));
    QCOMPARE(command4->y(), 225);
    QVERIFY(command4->geometry().bottom() < unframed.height());
}

void TestForm1::tinyWindowDoesNotFail() {
    form->resize(1, 1);
    QTRY_COMPARE(form->size(), QSize(1, 1));
    for (const char* name : {"Frame1", "Text6", "Picture1", "Text4", "Command4"})
        QVERIFY(widget(name)->width() >= 0 && widget(name)->height() >= 0);
    form->showMinimized();
    QApplication::processEvents();
    form->showNormal();
    form->resize(345, 244);
    QTRY_COMPARE(widget("Frame1")->size(), QSize(333, 159));
}

void TestForm1::infoPanel_data() {
    QTest::addColumn<bool>("makeIntEnabled");
    QTest::newRow("Make INT disabled") << false;
    QTest::newRow("Make INT enabled") << true;
}

void TestForm1::infoPanel() {
    QFETCH(bool, makeIntEnabled);
    if (makeIntEnabled)
        openPackage(testpkg::testdata(QStringLiteral("XC_Orb.utx")));
    QCOMPARE(widget("Command2")->isEnabled(), makeIntEnabled);
    const QString text1 = control<QLineEdit>("Text1")->text();

    QTest::mouseDClick(widget("Image1"), Qt::LeftButton);
    auto* text4 = control<QPlainTextEdit>("Text4");
    QVERIFY(widget("Picture1")->isVisible() && widget("Command4")->isVisible());
    for (const char* name : {"Command1", "Command2", "Command3"})
        QVERIFY2(!widget(name)->isVisible(), name);
    QCOMPARE(text4->toPlainText(),
             buildInfoText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    QCOMPARE(form->state().infoText(), buildInfoText());
    // The open panel covers the name boxes, the picture list and the INT box.
    for (const char* name : {"Text1", "List2", "Text6"}) {
        QWidget* top = form->childAt(widget(name)->geometry().center());
        QVERIFY2(top == widget("Picture1") || widget("Picture1")->isAncestorOf(top), name);
    }

    text4->moveCursor(QTextCursor::End);
    QTest::keyClicks(text4, QStringLiteral(" typed"));
    QTest::mouseClick(widget("Command4"), Qt::LeftButton);
    QVERIFY(!widget("Picture1")->isVisible() && !widget("Command4")->isVisible());
    for (const char* name : {"Command1", "Command2", "Command3"})
        QVERIFY2(widget(name)->isVisible(), name);
    QCOMPARE(widget("Command2")->isEnabled(), makeIntEnabled);
    QVERIFY(text4->toPlainText().endsWith(QStringLiteral("quorrel@example.org typed")));
    QCOMPARE(control<QLineEdit>("Text1")->text(), text1);

    // A double click on the strip of the picture above the panel rewrites the text.
    QTest::mouseDClick(widget("Image1"), Qt::LeftButton);
    QTest::mouseDClick(widget("Image1"), Qt::LeftButton, {}, QPoint(30, 1));
    QVERIFY(text4->toPlainText().endsWith(QStringLiteral("quorrel@example.org")));
    QVERIFY(widget("Picture1")->isVisible());
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
