#include "window/ModelPanel.h"

#include "base/Failure.h"
#include "game/GameFolders.h"
#include "rules/PlayerModels.h"
#include "rules/SkinMenu.h"
#include "window/ModelView.h"
#include "workflows/FileDialogSeam.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quorrel {

ModelPanel::ModelPanel(FileDialogSeam& folders, const QString& gameFolder, QWidget* parent)
    : QWidget(parent), m_folders(folders) {
    if (!gameFolder.isEmpty())
        m_gameFolders << gameFolder;
    m_view = new ModelView;
    m_team = new QComboBox;
    m_team->setObjectName(QStringLiteral("team"));
    m_team->addItems({QStringLiteral("No team"), QStringLiteral("Red team"),
                      QStringLiteral("Blue team"), QStringLiteral("Green team"),
                      QStringLiteral("Gold team")});
    m_note = new QLabel;
    m_note->setObjectName(QStringLiteral("modelNote"));
    m_note->setWordWrap(true);
    m_note->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pickFolder = new QPushButton(QStringLiteral("Look in a Folder..."));
    m_pickFolder->setObjectName(QStringLiteral("pickFolder"));
    m_pickFolder->setToolTip(QStringLiteral("Choose the System folder of your game, where the "
                                            "model is, for the rest of this run"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_team);
    layout->addWidget(m_note);
    layout->addWidget(m_pickFolder);
    connect(m_team, &QComboBox::currentIndexChanged, this, &ModelPanel::showModel);
    connect(m_pickFolder, &QPushButton::clicked, this, &ModelPanel::pickGameFolder);
}

void ModelPanel::setPackage(const SkinPackage* package) {
    m_package = package;
    m_model.reset();
    m_noModel = QStringLiteral("Looking for the model...");
    m_modelNotFound = false;
    showModel();
    QTimer::singleShot(0, this, &ModelPanel::loadModel);
}

void ModelPanel::followTextures(const SkinPackage* package) {
    m_package = package;
    showModel();
}

void ModelPanel::showChoice(const MenuSkin* skin, const MenuFace* face) {
    m_skin = skin ? skin->texture : QString();
    m_face = face ? face->texture.sliced(5) : QString();
    showModel();
}

void ModelPanel::loadModel() {
    m_model.reset();
    if (!m_package) {
        m_noModel = QString();
    } else {
        try {
            m_model = loadSkinModel(skinMeshName(m_package->name),
                                    modelFolders(m_package->file, m_gameFolders));
        } catch (const std::exception& failure) { // no memory for a huge package too
            m_noModel = failureText(failure);
            const auto* own = dynamic_cast<const Failure*>(&failure);
            m_modelNotFound = own && own->kind() == Failure::Kind::NotFound;
        }
    }
    showModel();
}

void ModelPanel::showModel() {
    m_pickFolder->setVisible(!m_model && m_modelNotFound);
    if (!m_model) {
        m_view->setModel({}, {});
        m_note->setText(m_noModel);
        return;
    }
    const QString& mesh = m_model->mesh.name;
    // A single-skin model takes the skin texture's whole name, the others its four characters.
    const QString skin = isSingleSkin(mesh, m_package->textures) ? m_skin : m_skin.left(4);
    QStringList note{
        QStringLiteral("%1, from %2").arg(mesh, QDir::toNativeSeparators(m_model->meshFile))};
    try {
        const SkinChoice choice =
            chooseSkin(mesh, m_package->textures, skin, m_face, m_team->currentIndex() - 1);
        const DressedModel dressed = dressModel(*m_model, *m_package, choice);
        if (dressed.slots.guessed())
            note << QStringLiteral("The tool knows no slots for this model: they are guessed.");
        note += dressed.problems;
        m_view->setModel(m_model->triangles, dressed.pictures);
    } catch (const Failure& failure) { // the menu's skin is none the model takes
        note << failure.text();
        m_view->setModel(m_model->triangles, {});
    }
    m_note->setText(note.join(u'\n'));
}

void ModelPanel::pickGameFolder() {
    FileDialogRequest request{FileDialogRequest::Mode::Folder, QString(), kSystemFolder, QString(),
                              QString()};
    if (const std::optional<ChosenFile> folder = m_folders.choose(request)) {
        m_gameFolders << folder->path;
        loadModel();
    }
}

} // namespace quorrel
