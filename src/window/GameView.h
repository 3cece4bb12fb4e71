#pragma once

#include "formats/Texture.h"
#include "game/SkinPackage.h"
#include "rules/SkinMenu.h"

#include <QTimer>
#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;

namespace quorrel {

class BrowserSeam;
class FileDialogSeam;
class FindingsPanel;
class GeneratorState;
class LiveFolder;
class MenuPanel;
class MessageBoxSeam;
class ModelPanel;
class PictureFolder;
struct FolderChange;
class TextureListModel;
class TexturePanel;

// A second window beside the main one: the package's textures as the game has them, the player
// menu as the game will list it from the INT text as it stands, with what the menu will miss, and
// the chosen skin on the player model from the author's own game. A pictures folder's package
// follows its pictures as they are saved. It changes nothing in the main window until the author
// asks for the game's INT or opens a folder. "Check Game Folder..." shows a whole game's menu as a
// page in the browser.
class GameView : public QWidget {
    Q_OBJECT

public:
    // The model is looked for beside the package, in the game this machine holds, in
    // `gameFolder` when given, and in the folders the author picks through `dialogs`, which also
    // choose where the package and the release go and the game folder to check; `messages` say
    // why a package or release was not saved; `browser` shows the check's page.
    GameView(const GeneratorState& state, const LiveFolder& live, FileDialogSeam& dialogs,
             MessageBoxSeam& messages, BrowserSeam& browser, const QString& gameFolder,
             QWidget* parent);

    // Selects the texture and shows it at full size, when the package holds it.
    void showTexture(const QString& name);

protected:
    void showEvent(QShowEvent* event) override;

Q_SIGNALS:
    // "Use the game's INT": the .int text the game's menu needs, for the INT box.
    void gameIntChosen(const QString& text);
    // A folder of pictures (or a package file, dropped) to open in the main window.
    void openAsked(const QString& path);

private:
    // The watched folder, when it is the package the main window has open.
    const PictureFolder* shownFolder() const;
    void readPackage();
    void followFolder(const FolderChange& change);
    // `samePackage`: only its textures changed (a pictures folder saved again): the choices stay
    // and the model is not looked for again.
    void showPackage(QList<TextureInfo> textures, bool samePackage);
    void showStatus(qsizetype textureCount);
    void openFolder();
    void scheduleMenu();
    void refreshMenu();
    void useGameInt();
    void checkGameFolder();

    const GeneratorState& m_state;
    const LiveFolder& m_live;
    FileDialogSeam& m_dialogs;
    MessageBoxSeam& m_messages;
    BrowserSeam& m_browser;
    std::optional<SkinPackage> m_package; // none: no package yet, or it could not be read
    bool m_packageStale = true;           // the main window has read a package the view has not
    MenuModel m_model;                    // the package's, and the rule its menu follows
    QTimer m_menuTimer;
    qint64 m_lastMenuMs = 0;

    QLabel* m_status = nullptr;
    QPushButton* m_savePackage = nullptr;
    QPushButton* m_release = nullptr;
    QLabel* m_gameCheck = nullptr; // what the last game check told
    TextureListModel* m_textures = nullptr;
    MenuPanel* m_menu = nullptr;
    ModelPanel* m_modelPanel = nullptr;
    TexturePanel* m_texturePanel = nullptr;
    FindingsPanel* m_findings = nullptr;
};

} // namespace quorrel
