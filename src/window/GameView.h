#pragma once

#include "core/Package.h"
#include "core/SkinMenu.h"
#include "core/Texture.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QLabel;
class QListView;
class QListWidget;
class QPushButton;
class QScrollArea;
class QHBoxLayout;

namespace quorrel {

class GeneratorState;
class TextureListModel;

// A second window beside the main one: the package's textures as the game has them, and the
// player menu as the game will list it from the INT text as it stands, with what the menu will
// miss. It changes nothing in the main window until the author asks for the game's INT.
class GameView : public QWidget {
    Q_OBJECT

public:
    GameView(const GeneratorState& state, QWidget* parent);

    // Selects the texture and shows it at full size, when the package holds it.
    void showTexture(const QString& name);

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

    const GeneratorState& m_state;
    QByteArray m_bytes;
    PackageTables m_tables;
    QString m_packageName;
    QStringList m_textureNames;
    QList<MenuSkin> m_skins;
    QList<MenuFinding> m_findings;
    QTimer m_menuTimer;
    qint64 m_lastMenuMs = 0;

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
};

} // namespace quorrel
