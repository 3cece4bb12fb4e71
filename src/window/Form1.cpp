#include "window/Form1.h"

#include "window/ClickFilter.h"
#include "window/Design.h"
#include "window/DoubleClickFilter.h"
#include "window/FileDropFilter.h"
#include "window/FormStyle.h"
#include "window/GameView.h"
#include "window/InfoText.h"
#include "window/StateBinding.h"
#include "workflows/BrowserSeam.h"
#include "workflows/QtFileDialog.h"
#include "workflows/QtMessageBox.h"
#include "workflows/Workflows.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>

#include <limits>

// The pictures live in this static library; its resources must be registered by hand.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace quorrel {
namespace {

constexpr int T = design::kTwipsPerPixel;

QRect pixels(design::Twips twips) {
    return QRect(twips.left / T, twips.top / T, twips.width / T, twips.height / T);
}

QPlainTextEdit* multiLineBox(QWidget* parent, const QString& name) {
    auto* box = new QPlainTextEdit(parent);
    box->setObjectName(name);
    box->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTabChangesFocus(true);
    return box;
}

} // namespace

Form1::Form1(Form1Options options)
    : m_ownFileDialog(options.fileDialog ? nullptr : std::make_unique<QtFileDialog>(this)),
      m_ownMessageBox(options.messageBox ? nullptr : std::make_unique<QtMessageBox>(this)),
      m_ownBrowser(options.browser ? nullptr : std::make_unique<DesktopBrowser>()),
      m_fileDialog(options.fileDialog ? options.fileDialog : m_ownFileDialog.get()),
      m_messageBox(options.messageBox ? options.messageBox : m_ownMessageBox.get()),
      m_browser(options.browser ? options.browser : m_ownBrowser.get()),
      CommonDialog1(*m_fileDialog), m_frame(options.windowFrame.value_or(QMargins())),
      m_gameFolder(options.gameFolder) {
    initResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorrel File Generator"));
    setWindowIcon(QIcon(QStringLiteral(":/quorrel/quorrel-icon.png")));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, style::kDarkGrey);
    setPalette(palette);
    setAutoFillBackground(true);
    resize(design::kClientArea.width / T, design::kClientArea.height / T);

    createControls();
    setStyleSheet(style::dataControlStyle());
    new StateBinding(m_state,
                     {Text1,
                      Text2,
                      Text3,
                      m_names,
                      m_pictures,
                      Label1,
                      Command2,
                      Text6,
                      Text4,
                      Picture1,
                      Command4,
                      {Command1, Command2, Command3}},
                     this);
    Text1->setFocus();
    new ClickFilter(Text1, [this] { Text1_Click(); });
    new DoubleClickFilter(Image1, [this] { Image1_DblClick(); });
    // While the info panel covers the window, Open cannot be reached, so neither can a drop.
    new FileDropFilter(
        this, [this] { return !m_state.infoPanelShown(); },
        [this](const QString& path) { openPackage(path); });
    connect(&m_state, &GeneratorState::packageFileChanged, this, [this](const QString& path) {
        if (m_live.folder() && m_live.folder()->path() != path)
            m_live.close(); // a package file is open now
    });
    // A live change of the pictures touches the picture list only, and only when the names change.
    connect(&m_live, &LiveFolder::changed, this, [this](const FolderChange& change) {
        if (change.names && m_live.folder()->path() == m_state.packageFile())
            RescanPictures(m_state, m_live.folder()->package().bytes);
    });

    if (!options.windowFrame)
        m_frame = frameAtLoad();
    Form_Load();
}

Form1::~Form1() = default;

QMargins Form1::frameAtLoad() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    const QMargins reported(inner.left() - outer.left(), inner.top() - outer.top(),
                            outer.right() - inner.right(), outer.bottom() - inner.bottom());
    // Most window systems report the frame only once the window is shown. The layout's offsets
    // were designed around a frame, so assume the classic one (60 twips at the sides and bottom,
    // 345 at the top) rather than none; otherwise "All Done" would land behind the INT box.
    return reported.isNull() ? design::kClassicFrame : reported;
}

void Form1::createControls() {
    auto button = [this](const QString& name, const QString& caption, design::Twips geometry) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setGeometry(pixels(geometry));
        b->setAutoDefault(true); // Enter presses a focused button, as Space does
        return b;
    };
    auto lineEdit = [this](const QString& name, const QString& text, const QString& tip,
                           design::Twips geometry) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(name);
        e->setGeometry(pixels(geometry));
        e->setAlignment(Qt::AlignCenter);
        e->setMaxLength(std::numeric_limits<int>::max()); // no limit on what the user types
        e->setFont(style::smallFonts());
        e->setToolTip(tip);
        return e;
    };

    Command1 = button(QStringLiteral("Command1"), QStringLiteral("Find Files"), design::kCommand1);
    Command2 = button(QStringLiteral("Command2"), QStringLiteral("Make INT"), design::kCommand2);
    Command3 = button(QStringLiteral("Command3"), QStringLiteral("Save"), design::kCommand3);
    Command4 = button(QStringLiteral("Command4"), QStringLiteral("All Done"), design::kCommand4);
    Command2->setEnabled(false);
    Command4->setVisible(false);

    Text1 = lineEdit(QStringLiteral("Text1"), m_state.packageName(), QStringLiteral("UTX Filename"),
                     design::kText1);
    Text2 = lineEdit(QStringLiteral("Text2"), m_state.meshName(), QStringLiteral("Mesh Name"),
                     design::kText2);
    Text3 = lineEdit(QStringLiteral("Text3"), m_state.skinDescription(),
                     QStringLiteral("Skin Description"), design::kText3);

    Frame1 = new QGroupBox(QStringLiteral("Generated INT"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(pixels(design::kFrame1));
    QPalette framePalette = Frame1->palette();
    framePalette.setColor(QPalette::WindowText, style::kGreen);
    Frame1->setPalette(framePalette);

    Text6 = multiLineBox(this, QStringLiteral("Text6"));
    Text6->setGeometry(pixels(design::kText6));
    Text6->setFont(style::smallFonts());

    m_pictures = new QStringListModel(this);
    List2 = new QListView(this);
    List2->setObjectName(QStringLiteral("List2"));
    List2->setGeometry(pixels(design::kList2));
    List2->setModel(m_pictures);
    List2->setFont(style::smallFonts());
    List2->setToolTip(QStringLiteral("List of Pics in the UTX"));
    List2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List2->setUniformItemSizes(true);

    m_names = new QStringListModel(this);
    List1 = new QListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(pixels(design::kList1));
    List1->setModel(m_names);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setUniformItemSizes(true);
    List1->setPalette(QApplication::palette());
    List1->setVisible(false);

    Label1 = new QLabel(m_state.countText(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(pixels(design::kLabel1));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(style::fontFor(QStringLiteral("MS Sans Serif"), 13.5, QFont::Bold));
    QPalette labelPalette = Label1->palette();
    labelPalette.setColor(QPalette::WindowText, style::kGreen);
    Label1->setPalette(labelPalette);
    Label1->setVisible(false);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(pixels(design::kImage1));
    Image1->setPixmap(QPixmap(QStringLiteral(":/quorrel/quorrel-picture.bmp")));
    Image1->setScaledContents(true);
    Image1->setToolTip(QStringLiteral("Double click for info"));

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(pixels(design::kPicture1));
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture1->setPalette(QApplication::palette());
    Picture1->setAutoFillBackground(true);
    Picture1->setVisible(false);
    Text4 = multiLineBox(Picture1, QStringLiteral("Text4"));
    Text4->setGeometry(pixels(design::kText4));
    Text4->setPalette(QApplication::palette());

    for (QPushButton* b : {Command1, Command2, Command3, Command4})
        b->setPalette(QApplication::palette());

    // Back to front, so that Text6 lies in front of Frame1 and the open info panel covers
    // everything under it.
    for (QWidget* w :
         std::initializer_list<QWidget*>{Image1, Label1, Command4, Text1, Text2, Text3, Command2,
                                         List1, List2, Command3, Frame1, Text6, Picture1, Command1})
        w->raise();

    const QList<QWidget*> tabOrder{Text1, Text2,  Text3,    Command1, Command2, List1, Text6,
                                   List2, Label1, Command3, Frame1,   Picture1, Text4, Command4};
    for (qsizetype i = 0; i + 1 < tabOrder.size(); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(Frame1),
                       static_cast<QWidget*>(Picture1), static_cast<QWidget*>(Image1)})
        w->setFocusPolicy(Qt::NoFocus);

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);

    // The game view: from anywhere by its shortcut, from the picture list (a double click or
    // Return on a picture, or its context menu) and from the INT box's context menu.
    m_gameViewAction = new QAction(QStringLiteral("Game View"), this);
    m_gameViewAction->setObjectName(QStringLiteral("gameViewAction"));
    m_gameViewAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    addAction(m_gameViewAction);
    List2->addAction(m_gameViewAction);
    List2->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(m_gameViewAction, &QAction::triggered, this,
            [this] { openGameView(List2->currentIndex().data().toString()); });
    connect(List2, &QListView::activated, this,
            [this](const QModelIndex& index) { openGameView(index.data().toString()); });
    Text6->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Text6, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        std::unique_ptr<QMenu> menu(Text6->createStandardContextMenu(at));
        menu->addSeparator();
        menu->addAction(m_gameViewAction);
        menu->exec(Text6->viewport()->mapToGlobal(at));
    });
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

FormLayout Form1::layout() const {
    return FormLayout(*this, m_frame,
                      {Frame1, Text6, Picture1, Text4, Command1, Command2, Command3, Command4});
}

void Form1::Form_Load() {
    m_margins = measureMargins(layout());
}

void Form1::Form_Resize() {
    FormLayout target = layout();
    applyLayout(target, m_margins);
}

void Form1::Command1_Click() {
    FindFiles(m_state, CommonDialog1, *m_messageBox);
}

void Form1::openPackage(const QString& path) {
    if (QFileInfo(path).isDir())
        OpenPictureFolder(m_state, m_live, path, *m_messageBox);
    else
        OpenPackage(m_state, path, *m_messageBox);
}

void Form1::Text1_Click() {
    Command1_Click();
}

void Form1::Text1_Change() {
    m_state.setPackageName(Text1->text());
}

void Form1::Command2_Click() {
    MakeInt(m_state);
}

void Form1::Command3_Click() {
    SaveIntFile(m_state, CommonDialog1, *m_messageBox, SavePath);
}

void Form1::Image1_DblClick() {
    // Rewritten every time: the user's typing in Text4 is already in the state, so the fixed
    // text is a change and the binding puts it back into the box.
    m_state.setInfoText(buildInfoText());
    m_state.setInfoPanelShown(true);
}

void Form1::Command4_Click() {
    m_state.setInfoPanelShown(false);
}

void Form1::openGameView(const QString& texture) {
    if (!m_gameView) {
        m_gameView = new GameView(m_state, m_live, *m_fileDialog, *m_messageBox, *m_browser,
                                  m_gameFolder, this);
        connect(m_gameView, &GameView::gameIntChosen, this, &Form1::useGameInt);
        connect(m_gameView, &GameView::openAsked, this, &Form1::openPackage);
    }
    m_gameView->show();
    m_gameView->raise();
    m_gameView->activateWindow();
    if (!texture.isEmpty())
        m_gameView->showTexture(texture);
}

void Form1::useGameInt(const QString& text) {
    // As if typed over the whole box: each CR LF becomes the box's own line break, and undo
    // takes it back.
    QTextCursor cursor(Text6->document());
    cursor.select(QTextCursor::Document);
    cursor.insertText(text);
}

} // namespace quorrel
