#pragma once

#include "game/SkinModel.h"

#include <QStringList>
#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace quorrel {

class FileDialogSeam;
struct MenuFace;
struct MenuSkin;
class ModelView;

// The chosen skin and face on the player model from the author's own game, turning, with a choice
// of team colour. The model is looked for beside the package, in the game this machine holds, in
// a folder named on the command line, and in the folders the author picks.
class ModelPanel : public QWidget {
public:
    ModelPanel(FileDialogSeam& folders, const QString& gameFolder, QWidget* parent = nullptr);

    // The package to dress the model in; null: none. Looks for its model once the view is painted,
    // since that reads the game's packages.
    void setPackage(const SkinPackage* package);
    // The same package with other textures (a pictures folder's, saved again): the model is not
    // looked for again, the skin, face, team and turn stay.
    void followTextures(const SkinPackage* package);
    // What the menu has chosen; null: the first skin the package offers the model, and its face.
    void showChoice(const MenuSkin* skin, const MenuFace* face);

private:
    void loadModel();
    void showModel();
    void pickGameFolder();

    FileDialogSeam& m_folders;
    QStringList m_gameFolders; // named on the command line, then picked for the rest of the run
    const SkinPackage* m_package = nullptr;
    std::optional<SkinModel> m_model;
    QString m_noModel;            // why there is none
    bool m_modelNotFound = false; // in none of the folders: the author may name one
    QString m_skin, m_face;       // as the model takes them; empty: the first

    ModelView* m_view = nullptr;
    QComboBox* m_team = nullptr;
    QLabel* m_note = nullptr;
    QPushButton* m_pickFolder = nullptr;
};

} // namespace quorrel
