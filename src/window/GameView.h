#pragma once

#include "formats/Package.h"
#include "formats/Texture.h"
#include "game/SkinModel.h"
#include "rules/SkinMenu.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QListView;
class QListWidget;
class QPushButton;
class QScrollArea;
class QHBoxLayout;

namespace quorrel {

class FileDialogSeam;
class GeneratorState;
class ModelView;
class TextureListModel;

// A second window beside the main one: the package's textures as the game has them, the player
// menu as the game will list it from the INT text as it stands, with what the menu will miss, and
// the chosen skin on the player model from the author's own game. It changes nothing in the main
// window until the author asks for the game's INT.
class GameView : public QWidget {
    Q_OBJECT

public:
    // The model is looked for beside the package, in the game this machine holds, in
    // `gameFolder` when given, and in the folders the author picks through `folders`.
    GameView(const GeneratorState& state, FileDialogSeam& folders, const QString& gameFolder,
             QWidget* parent);

    // Selects the texture and shows it at full size, when the package holds it.
    void showTexture(const QString& name);

protected:
    void showEvent(QShowEvent* event) override;

Q_SIGNALS:
    // "Use the game's INT": the .int text the game's menu needs, for the INT box.
    void gameIntChosen(const QString& text);

private:
    void createControls();
    void readPackage();
    void scheduleMenu();
    void refreshMenu();
    void showSkin();
    void showFace();
    void showFullSize(int row);
    void useGameInt();
    void loadModel();
    void showModel();
    void pickGameFolder();

    const GeneratorState& m_state;
    FileDialogSeam& m_folders;
    QByteArray m_bytes;
    PackageTables m_tables;
    QString m_packageName;
    QStringList m_textureNames;
    QList<MenuSkin> m_skins;
    QList<MenuFinding> m_findings;
    bool m_packageStale = true; // the main window has read a package the view has not
    QTimer m_menuTimer;
    qint64 m_lastMenuMs = 0;
    std::optional<QString> m_shownFace; // the skin and face the portrait, slots and model show
    std::optional<SkinModel> m_model;
    QString m_noModel;            // why there is none
    bool m_modelNotFound = false; // in none of the folders: the author may name one
    QStringList m_gameFolders;    // named on the command line, then picked for the rest of the run

    QLabel* m_status = nullptr;
    QListWidget* m_skinList = nullptr;
    QListWidget* m_faceList = nullptr;
    QLabel* m_portrait = nullptr;
    QHBoxLayout* m_slots = nullptr;
    QListView* m_textureList = nullptr;
    TextureListModel* m_textures = nullptr;
    QLabel* m_fullSize = nullptr;
    QLabel* m_fullSizeCaption = nullptr;
    QListWidget* m_findingList = nullptr;
    QPushButton* m_useGameInt = nullptr;
    ModelView* m_modelView = nullptr;
    QComboBox* m_team = nullptr;
    QLabel* m_modelNote = nullptr;
    QPushButton* m_pickFolder = nullptr;
};

} // namespace quorrel
