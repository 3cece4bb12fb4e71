#pragma once

#include "rules/SkinMenu.h"

#include <QList>
#include <QStringList>
#include <QWidget>

#include <optional>

class QHBoxLayout;
class QLabel;
class QListWidget;

namespace quorrel {

class TextureListModel;

// The player menu as the game will list it: the skins, the chosen skin's faces, and for the
// chosen face its portrait and the skin's textures by slot, the face in its own.
class MenuPanel : public QWidget {
    Q_OBJECT

public:
    explicit MenuPanel(const TextureListModel& textures, QWidget* parent = nullptr);

    // A new package: its textures, and nothing shown yet.
    void setTextures(const QStringList& textures);
    // What the menu lists now; the skin and face chosen before stay chosen while they are listed.
    void setSkins(QList<MenuSkin> skins);

    // Null while the menu lists none.
    const MenuSkin* chosenSkin() const;
    const MenuFace* chosenFace() const;

Q_SIGNALS:
    // Another skin or face is chosen, or the package is new.
    void choiceChanged();

private:
    void showSkin();
    void showFace();

    const TextureListModel& m_textures;
    QStringList m_textureNames;
    QList<MenuSkin> m_skins;
    std::optional<QString> m_shown; // the skin and face the portrait and slots show

    QListWidget* m_skinList = nullptr;
    QListWidget* m_faceList = nullptr;
    QLabel* m_portrait = nullptr;
    QHBoxLayout* m_slots = nullptr;
};

} // namespace quorrel
