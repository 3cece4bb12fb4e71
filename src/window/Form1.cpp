#include "window/Form1.h"

#include "core/IntText.h"
#include "window/InfoText.h"
#include "workflows/QtFileDialog.h"
#include "workflows/QtMessageBox.h"
#include "workflows/Workflows.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStringListModel>
#include <QUrl>

#include <algorithm>
#include <limits>

// The pictures live in this static library; its resources must be registered by hand.
static void initResources() {
    Q_INIT_RESOURCE(resources);
}

namespace quorrel {
namespace {

constexpr int T = Form1::kTwipsPerPixel;

const QColor kDarkGrey(64, 64, 64);
const QColor kGreen(0, 192, 0);

QRect twips(int left, int top, int width, int height) {
    return QRect(left / T, top / T, width / T, height / T);
}

QFont fontFor(const QString& family, qreal points, QFont::Weight weight) {
    QFont font;
    // Where the typeface is missing, the nearest sans serif at the same size and weight: Tahoma
    // under Wine, DejaVu Sans on Linux.
    font.setFamilies({family, QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

QFont smallFonts() {
    return fontFor(QStringLiteral("Small Fonts"), 6.75, QFont::Normal);
}

// The data controls: black box, green text, flat one-pixel border. One style sheet for all, so it
// is parsed once.
const QString kDataControlStyle = QStringLiteral(
    "#Text1, #Text2, #Text3, #Text6, #List2 { background: black; color: rgb(0, 192, 0); "
    "border: 1px solid black; selection-background-color: rgb(0, 192, 0); "
    "selection-color: black; }"
    // Frame1's border in a grey that shows on the dark window, its caption on the top line.
    "#Frame1 { border: 1px solid rgb(144, 144, 144); margin-top: 0.6em; padding-top: 0.6em; } "
    "#Frame1::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; "
    "padding: 0px 2px; color: rgb(0, 192, 0); }");

// A text box gives back every line break as CR LF, whatever the text was set with. Copied in one
// pass: QString::replace moves the rest of the text for every few hundred breaks, which takes
// seconds on an INT text of a million lines.
QString boxText(const QPlainTextEdit* box) {
    const QString raw = box->document()->toRawText();
    const auto isBreak = [](QChar c) {
        return c == QChar::ParagraphSeparator || c == QChar::LineSeparator;
    };
    const qsizetype breaks = std::count_if(raw.cbegin(), raw.cend(), isBreak);
    if (breaks == 0)
        return raw;
    QString text(raw.size() + breaks, Qt::Uninitialized);
    QChar* out = text.data();
    for (const QChar c : raw) {
        if (isBreak(c)) {
            *out++ = u'\r';
            *out++ = u'\n';
        } else {
            *out++ = c;
        }
    }
    return text;
}

void setBoxText(QPlainTextEdit* box, const QString& text) {
    if (boxText(box) != text)
        box->setPlainText(text);
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

// The one regular local file a drag carries; several files, folders and other data open nothing.
std::optional<QString> droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls())
        return std::nullopt;
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return std::nullopt;
    const QString path = urls.first().toLocalFile();
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return path;
}

// A file dialog the user has already answered.
class AnsweredFileDialog : public FileDialogSeam {
public:
    explicit AnsweredFileDialog(const QString& path)
        : m_file{QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()),
                 QFileInfo(path).fileName()} {}
    std::optional<ChosenFile> choose(const FileDialogRequest&) override { return m_file; }

private:
    ChosenFile m_file;
};

} // namespace

// Form_Resize's view of the window: sizes in twips, read back after the widgets snap them to
// whole pixels.
class Form1::Layout : public LayoutTarget {
public:
    explicit Layout(Form1& form) : m_form(form) {}

    float outerWidth() const override {
        return float((m_form.width() + m_form.m_frame.left() + m_form.m_frame.right()) * T);
    }
    float outerHeight() const override {
        return float((m_form.height() + m_form.m_frame.top() + m_form.m_frame.bottom()) * T);
    }
    float width(LayoutControl c) const override { return float(widget(c)->width() * T); }
    float height(LayoutControl c) const override { return float(widget(c)->height() * T); }
    float top(LayoutControl c) const override { return float(widget(c)->y() * T); }
    void setWidth(LayoutControl c, float twips) override {
        widget(c)->resize(pixels(twips), widget(c)->height());
    }
    void setHeight(LayoutControl c, float twips) override {
        widget(c)->resize(widget(c)->width(), pixels(twips));
    }
    void setTop(LayoutControl c, float twips) override {
        widget(c)->move(widget(c)->x(), pixels(twips));
    }

private:
    static int pixels(float twips) {
        return int(
            std::lround(std::clamp(twips / T, -float(QWIDGETSIZE_MAX), float(QWIDGETSIZE_MAX))));
    }
    QWidget* widget(LayoutControl c) const {
        switch (c) {
        case LayoutControl::Frame1:
            return m_form.Frame1;
        case LayoutControl::Text6:
            return m_form.Text6;
        case LayoutControl::Picture1:
            return m_form.Picture1;
        case LayoutControl::Text4:
            return m_form.Text4;
        case LayoutControl::Command1:
            return m_form.Command1;
        case LayoutControl::Command2:
            return m_form.Command2;
        case LayoutControl::Command3:
            return m_form.Command3;
        case LayoutControl::Command4:
            return m_form.Command4;
        }
        return nullptr;
    }

    Form1& m_form;
};

Form1::Form1(Form1Options options)
    : m_ownFileDialog(options.fileDialog ? nullptr : std::make_unique<QtFileDialog>(this)),
      m_ownMessageBox(options.messageBox ? nullptr : std::make_unique<QtMessageBox>(this)),
      m_fileDialog(options.fileDialog ? options.fileDialog : m_ownFileDialog.get()),
      m_messageBox(options.messageBox ? options.messageBox : m_ownMessageBox.get()),
      CommonDialog1(*m_fileDialog), m_frame(options.windowFrame.value_or(QMargins())) {
    initResources();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorrel File Generator"));
    setWindowIcon(QIcon(QStringLiteral(":/quorrel/quorrel-icon.png")));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, kDarkGrey);
    setPalette(palette);
    setAutoFillBackground(true);
    resize(5175 / T, 3660 / T);

    createControls();
    setStyleSheet(kDataControlStyle);
    bindState();
    Text1->setFocus();
    // A file dropped anywhere opens, also on the boxes that would take its name as text.
    setAcceptDrops(true);
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->acceptDrops())
            child->installEventFilter(this);
    }

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
    return reported.isNull() ? kClassicFrame : reported;
}

void Form1::createControls() {
    auto button = [this](const QString& name, const QString& caption, QRect geometry) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setGeometry(geometry);
        b->setAutoDefault(true); // Enter presses a focused button, as Space does
        return b;
    };
    auto lineEdit = [this](const QString& name, const QString& text, const QString& tip, int top) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(name);
        e->setGeometry(twips(90, top, 1935, 255));
        e->setAlignment(Qt::AlignCenter);
        e->setMaxLength(std::numeric_limits<int>::max()); // no limit on what the user types
        e->setFont(smallFonts());
        e->setToolTip(tip);
        return e;
    };

    Command1 = button(QStringLiteral("Command1"), QStringLiteral("Find Files"),
                      twips(90, 3360, 1545, 255));
    Command2 = button(QStringLiteral("Command2"), QStringLiteral("Make INT"),
                      twips(1800, 3360, 1545, 255));
    Command3 =
        button(QStringLiteral("Command3"), QStringLiteral("Save"), twips(3540, 3360, 1545, 255));
    Command4 =
        button(QStringLiteral("Command4"), QStringLiteral("All Done"), twips(90, 3360, 4995, 255));
    Command2->setEnabled(false);
    Command4->setVisible(false);

    Text1 = lineEdit(QStringLiteral("Text1"), m_state.packageName(), QStringLiteral("UTX Filename"),
                     30);
    Text2 = lineEdit(QStringLiteral("Text2"), m_state.meshName(), QStringLiteral("Mesh Name"), 330);
    Text3 = lineEdit(QStringLiteral("Text3"), m_state.skinDescription(),
                     QStringLiteral("Skin Description"), 630);
    Text1->installEventFilter(this);

    Frame1 = new QGroupBox(QStringLiteral("Generated INT"), this);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(twips(90, 930, 4995, 2385));
    QPalette framePalette = Frame1->palette();
    framePalette.setColor(QPalette::WindowText, kGreen);
    Frame1->setPalette(framePalette);

    Text6 = multiLineBox(this, QStringLiteral("Text6"));
    Text6->setGeometry(twips(180, 1170, 4815, 2055));
    Text6->setFont(smallFonts());

    m_pictures = new QStringListModel(this);
    List2 = new QListView(this);
    List2->setObjectName(QStringLiteral("List2"));
    List2->setGeometry(twips(3150, 30, 1935, 855));
    List2->setModel(m_pictures);
    List2->setFont(smallFonts());
    List2->setToolTip(QStringLiteral("List of Pics in the UTX"));
    List2->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List2->setUniformItemSizes(true);

    m_names = new QStringListModel(this);
    List1 = new QListView(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(twips(5310, 870, 1875, 2595));
    List1->setModel(m_names);
    List1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List1->setUniformItemSizes(true);
    List1->setPalette(QApplication::palette());
    List1->setVisible(false);

    Label1 = new QLabel(m_state.countText(), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(twips(5160, 90, 1035, 705));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setFont(fontFor(QStringLiteral("MS Sans Serif"), 13.5, QFont::Bold));
    QPalette labelPalette = Label1->palette();
    labelPalette.setColor(QPalette::WindowText, kGreen);
    Label1->setPalette(labelPalette);
    Label1->setVisible(false);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twips(2040, 30, 1080, 855));
    Image1->setPixmap(QPixmap(QStringLiteral(":/quorrel/quorrel-picture.bmp")));
    Image1->setScaledContents(true);
    Image1->setToolTip(QStringLiteral("Double click for info"));
    Image1->installEventFilter(this);

    Picture1 = new QFrame(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twips(90, 60, 165, 165));
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture1->setPalette(QApplication::palette());
    Picture1->setAutoFillBackground(true);
    Picture1->setVisible(false);
    Text4 = multiLineBox(Picture1, QStringLiteral("Text4"));
    Text4->setGeometry(twips(30, 30, 4875, 3105));
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
}

void Form1::bindState() {
    GeneratorState* s = &m_state;
    auto showIn = [](QLineEdit* edit) {
        return [edit](const QString& text) {
            if (edit->text() != text)
                edit->setText(text);
        };
    };
    connect(s, &GeneratorState::packageNameChanged, Text1, showIn(Text1));
    connect(s, &GeneratorState::meshNameChanged, Text2, showIn(Text2));
    connect(s, &GeneratorState::skinDescriptionChanged, Text3, showIn(Text3));
    connect(Text2, &QLineEdit::textChanged, s, &GeneratorState::setMeshName);
    connect(Text3, &QLineEdit::textChanged, s, &GeneratorState::setSkinDescription);

    connect(s, &GeneratorState::namesChanged, this,
            [this] { m_names->setStringList(m_state.names()); });
    connect(s, &GeneratorState::picturesChanged, this,
            [this] { m_pictures->setStringList(m_state.pictures()); });
    connect(s, &GeneratorState::countTextChanged, Label1, &QLabel::setText);
    connect(s, &GeneratorState::makeIntEnabledChanged, Command2, &QWidget::setEnabled);

    // The state keeps a text exactly as it was set, a bare CR or LF included, until the user
    // edits the box; only then does the box's text, with CR LF line breaks, replace it.
    auto bindBox = [this, s](QPlainTextEdit* box, void (GeneratorState::*changed)(const QString&),
                             void (GeneratorState::*set)(const QString&)) {
        connect(s, changed, box, [this, box](const QString& text) {
            m_settingBox = true;
            setBoxText(box, text);
            m_settingBox = false;
        });
        connect(box, &QPlainTextEdit::textChanged, this, [this, box, s, set] {
            if (!m_settingBox)
                (s->*set)(boxText(box));
        });
    };
    bindBox(Text6, &GeneratorState::intTextChanged, &GeneratorState::setIntText);
    bindBox(Text4, &GeneratorState::infoTextChanged, &GeneratorState::setInfoText);

    connect(s, &GeneratorState::infoPanelShownChanged, this, [this](bool shown) {
        Picture1->setVisible(shown);
        Command4->setVisible(shown);
        for (QPushButton* button : {Command1, Command2, Command3})
            button->setVisible(!shown);
    });
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(event);
        if (drop->mimeData() && drop->mimeData()->hasUrls()) {
            takeDrop(drop);
            return true;
        }
    }
    if (watched == Text1) {
        // A click is a press and a release inside the box; gaining focus alone opens nothing.
        if (event->type() == QEvent::MouseButtonPress)
            m_text1Pressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        if (event->type() == QEvent::MouseButtonRelease && m_text1Pressed) {
            m_text1Pressed = false;
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton &&
                Text1->rect().contains(mouse->position().toPoint())) {
                Text1->event(event); // finish the line edit's own handling first
                Text1_Click();
                return true;
            }
        }
    } else if (watched == Image1 && event->type() == QEvent::MouseButtonDblClick) {
        Image1_DblClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    takeDrop(event);
}

void Form1::dragMoveEvent(QDragMoveEvent* event) {
    takeDrop(event);
}

void Form1::dropEvent(QDropEvent* event) {
    takeDrop(event);
}

void Form1::takeDrop(QDropEvent* event) {
    // While the info panel covers the window, Open cannot be reached, so neither can a drop.
    const std::optional<QString> file =
        m_state.infoPanelShown() ? std::nullopt : droppedFile(event->mimeData());
    if (!file || !(event->possibleActions() & Qt::CopyAction)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction); // never a move: the package stays where it is
    event->accept();
    // After the drop has finished, so the file manager is not kept waiting by a message box.
    if (event->type() == QEvent::Drop)
        QMetaObject::invokeMethod(
            this, [this, path = *file] { openPackage(path); }, Qt::QueuedConnection);
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form1::Form_Load() {
    Layout layout(*this);
    m_margins = measureMargins(layout);
}

void Form1::Form_Resize() {
    Layout layout(*this);
    applyLayout(layout, m_margins);
}

void Form1::Command1_Click() {
    FindFiles(m_state, CommonDialog1, *m_messageBox);
}

void Form1::openPackage(const QString& path) {
    AnsweredFileDialog answered(path);
    CommonDialog dialog(answered);
    FindFiles(m_state, dialog, *m_messageBox);
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

} // namespace quorrel
