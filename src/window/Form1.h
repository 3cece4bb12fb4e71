#pragma once

// The window's controls, under their designer names:
//
//   control   caption or first text   what it does
//   Command1  "Find Files"            FindFiles: choose a package, scan it
//   Text1     "UTX Name"              the package name; typing derives Text2 and Text3, a click
//                                     runs Find Files
//   Text2     "Mesh Name"             the mesh name; the scan's pictures start after it
//   Text3     "Skin Description"      the first picture's description
//   Image1    (picture)               a double click opens the info panel
//   List2     (empty)                 the picture list, sorted
//   List1     (hidden)                the package's names, in file order
//   Label1    (hidden) " 0 pics found" the picture count
//   Frame1    "Generated INT"         frames Text6
//   Text6     (empty)                 the INT text, editable
//   Command2  "Make INT"              MakeInt: builds the INT text into Text6
//   Command3  "Save"                  SaveIntFile: writes Text6 to a chosen .int file
//   Picture1  (hidden)                the info panel, holding Text4
//   Text4     (empty)                 the info text
//   Command4  "All Done"              closes the info panel

#include "window/FormLayout.h"
#include "workflows/CommonDialog.h"
#include "workflows/GeneratorState.h"
#include "workflows/LiveFolder.h"

#include <QMargins>
#include <QWidget>

#include <memory>
#include <optional>

class QGroupBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QStringListModel;
class QAction;

namespace quorrel {

class BrowserSeam;
class FileDialogSeam;
class GameView;
class MessageBoxSeam;

struct Form1Options {
    // The real QFileDialog and QMessageBox unless a test answers them.
    FileDialogSeam* fileDialog = nullptr;
    MessageBoxSeam* messageBox = nullptr;
    // The window frame (border and title bar) in pixels; taken at load unless given.
    std::optional<QMargins> windowFrame;
    // A game folder named on the command line, where the game view looks for player models too.
    QString gameFolder{};
    // The desktop's browser unless a test stands in for it.
    BrowserSeam* browser = nullptr;
};

// The tool's one window. Every value lives in the GeneratorState; the controls show it and pass
// the user's edits back. The handlers are named after the control and the event they serve.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(Form1Options options = {});
    ~Form1() override;

    const GeneratorState& state() const { return m_state; }
    // Opens `path` exactly as if the user had chosen it in the Open dialog: the command line's
    // package and a file dropped on the window come this way. A folder opens as the package its
    // pictures make, followed as they change.
    void openPackage(const QString& path);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QMargins frameAtLoad() const;
    void createControls();
    FormLayout layout() const;
    void Form_Load();
    void Form_Resize();

    void Command1_Click();
    void Text1_Click();
    void Text1_Change();
    void Command2_Click();
    void Command3_Click();
    void Image1_DblClick();
    void Command4_Click();

    // The game view beside the window: one for the window, made when first asked for.
    void openGameView(const QString& texture);
    void useGameInt(const QString& text);

    GeneratorState m_state;
    LiveFolder m_live; // the pictures folder open now, if one is
    std::unique_ptr<FileDialogSeam> m_ownFileDialog;
    std::unique_ptr<MessageBoxSeam> m_ownMessageBox;
    std::unique_ptr<BrowserSeam> m_ownBrowser;
    FileDialogSeam* m_fileDialog;
    MessageBoxSeam* m_messageBox;
    BrowserSeam* m_browser;
    CommonDialog CommonDialog1;
    QString SavePath;
    LayoutMargins m_margins;
    QMargins m_frame;
    QString m_gameFolder;

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPlainTextEdit* Text6 = nullptr;
    QPlainTextEdit* Text4 = nullptr;
    QListView* List1 = nullptr;
    QListView* List2 = nullptr;
    QStringListModel* m_names = nullptr;
    QStringListModel* m_pictures = nullptr;
    QLabel* Label1 = nullptr;
    QGroupBox* Frame1 = nullptr;
    QFrame* Picture1 = nullptr;
    QLabel* Image1 = nullptr;
    QAction* m_gameViewAction = nullptr;
    GameView* m_gameView = nullptr;
};

} // namespace quorrel
