#pragma once

#include "game/SkinPackage.h"
#include "rules/SkinMenu.h"

#include <QTimer>
#include <QWidget>

#include <optional>

class QLabel;

namespace quorrel {

class BrowserSeam;
class FileDialogSeam;
class FindingsPanel;
class GeneratorState;
class MenuPanel;
class ModelPanel;
class TextureListModel;
class TexturePanel;

// A second window beside the main one: the package's textures as the game has them, the player
// menu as the game will list it from the INT text as it stands, with what the menu will miss, and
// the chosen skin on the player model from the author's own game. It changes nothing in the main
// window until the author asks for the game's INT. "Check Game Folder..." shows a whole game's
// menu as a page in the browser.
class GameView : public QWidget {
    Q_OBJECT

public:
    // The model is looked for beside the package, in the game this machine holds, in
    // `gameFolder` when given, and in the folders the author picks through `folders`, which also
    // picks the game folder to check; `browser` shows the check's page.
    GameView(const GeneratorState& state, FileDialogSeam& folders, BrowserSeam& browser,
             const QString& gameFolder, QWidget* parent);

    // Selects the texture and shows it at full size, when the package holds it.
    void showTexture(const QString& name);

protected:
    void showEvent(QShowEvent* event) override;

Q_SIGNALS:
    // "Use the game's INT": the .int text the game's menu needs, for the INT box.
    void gameIntChosen(const QString& text);

private:
    void readPackage();
    void scheduleMenu();
    void refreshMenu();
    void useGameInt();
    void checkGameFolder();

    const GeneratorState& m_state;
    FileDialogSeam& m_folders;
    BrowserSeam& m_browser;
    std::optional<SkinPackage> m_package; // none: no package yet, or it could not be read
    bool m_packageStale = true;           // the main window has read a package the view has not
    MenuModel m_model;                    // the package's, and the rule its menu follows
    QTimer m_menuTimer;
    qint64 m_lastMenuMs = 0;

    QLabel* m_status = nullptr;
    QLabel* m_gameCheck = nullptr; // what the last game check told
    TextureListModel* m_textures = nullptr;
    MenuPanel* m_menu = nullptr;
    ModelPanel* m_modelPanel = nullptr;
    TexturePanel* m_texturePanel = nullptr;
    FindingsPanel* m_findings = nullptr;
};

} // namespace quorrel
