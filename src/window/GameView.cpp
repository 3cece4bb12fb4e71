#include "window/GameView.h"

#include "base/Failure.h"
#include "base/Files.h"
#include "base/IgnoringCase.h"
#include "formats/IntFile.h"
#include "game/MeshSearch.h"
#include "rules/NameFields.h"
#include "rules/PlayerModels.h"
#include "rules/SkinSlots.h"
#include "window/ModelView.h"
#include "window/PictureImage.h"
#include "window/TextureListModel.h"
#include "workflows/FileDialogSeam.h"
#include "workflows/GeneratorState.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

namespace quorrel {
namespace {

constexpr int kTextureRole = Qt::UserRole; // a list item's texture name

QGroupBox* group(const QString& title, QWidget* content) {
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(content);
    return box;
}

// Puts the items in, keeping the one chosen before when it is still there.
void fill(QListWidget* list, const QList<QPair<QString, QString>>& items) {
    const QString chosen =
        list->currentItem() ? list->currentItem()->data(kTextureRole).toString() : QString();
    QSignalBlocker blocker(list);
    list->clear();
    for (const auto& [texture, description] : items) {
        auto* item = new QListWidgetItem(QStringLiteral("%1  \"%2\"").arg(texture, description));
        item->setData(kTextureRole, texture);
        list->addItem(item);
        if (texture == chosen)
            list->setCurrentItem(item);
    }
    if (!list->currentItem() && list->count() > 0)
        list->setCurrentRow(0);
}

} // namespace

GameView::GameView(const GeneratorState& state, FileDialogSeam& folders, const QString& gameFolder,
                   QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_folders(folders) {
    if (!gameFolder.isEmpty())
        m_gameFolders << gameFolder;
    setObjectName(QStringLiteral("GameView"));
    setWindowTitle(QStringLiteral("Game View"));
    createControls();
    m_menuTimer.setSingleShot(true);
    connect(&m_menuTimer, &QTimer::timeout, this, &GameView::refreshMenu);
    connect(&state, &GeneratorState::packageFileChanged, this, [this] {
        // A hidden view reads the package when it is shown again, not with every Open.
        m_packageStale = true;
        if (isVisible())
            readPackage();
    });
    connect(&state, &GeneratorState::intTextChanged, this, &GameView::scheduleMenu);
}

void GameView::createControls() {
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_skinList = new QListWidget;
    m_skinList->setObjectName(QStringLiteral("skins"));
    m_faceList = new QListWidget;
    m_faceList->setObjectName(QStringLiteral("faces"));
    m_portrait = new QLabel;
    m_portrait->setObjectName(QStringLiteral("portrait"));
    m_portrait->setAlignment(Qt::AlignCenter);
    m_portrait->setMinimumHeight(2 * TextureListModel::kThumbnailSide);
    auto* slots = new QWidget;
    m_slots = new QHBoxLayout(slots);
    m_slots->setContentsMargins(0, 0, 0, 0);
    auto* menu = new QWidget;
    auto* menuLayout = new QVBoxLayout(menu);
    menuLayout->setContentsMargins(0, 0, 0, 0);
    menuLayout->addWidget(group(QStringLiteral("Skins"), m_skinList), 2);
    menuLayout->addWidget(group(QStringLiteral("Faces"), m_faceList), 2);
    menuLayout->addWidget(group(QStringLiteral("Portrait"), m_portrait));
    menuLayout->addWidget(group(QStringLiteral("Skin textures"), slots));

    m_textures = new TextureListModel(this);
    m_textureList = new QListView;
    m_textureList->setObjectName(QStringLiteral("textures"));
    m_textureList->setModel(m_textures);
    m_textureList->setViewMode(QListView::IconMode);
    m_textureList->setResizeMode(QListView::Adjust);
    m_textureList->setMovement(QListView::Static);
    m_textureList->setUniformItemSizes(true);
    m_textureList->setWordWrap(true);
    const int side = TextureListModel::kThumbnailSide;
    m_textureList->setIconSize(QSize(side, side));
    m_textureList->setGridSize(QSize(side * 2, side + 3 * fontMetrics().height()));
    m_fullSize = new QLabel;
    m_fullSize->setObjectName(QStringLiteral("fullSize"));
    m_fullSize->setAlignment(Qt::AlignCenter);
    auto* fullSizeArea = new QScrollArea;
    fullSizeArea->setWidget(m_fullSize);
    fullSizeArea->setWidgetResizable(true);
    m_fullSizeCaption = new QLabel;
    m_fullSizeCaption->setObjectName(QStringLiteral("fullSizeCaption"));
    auto* fullSizeBox = new QWidget;
    auto* fullSizeLayout = new QVBoxLayout(fullSizeBox);
    fullSizeLayout->setContentsMargins(0, 0, 0, 0);
    fullSizeLayout->addWidget(fullSizeArea);
    fullSizeLayout->addWidget(m_fullSizeCaption);
    auto* right = new QSplitter(Qt::Vertical);
    right->addWidget(group(QStringLiteral("Textures"), m_textureList));
    right->addWidget(fullSizeBox);

    m_modelView = new ModelView;
    m_team = new QComboBox;
    m_team->setObjectName(QStringLiteral("team"));
    m_team->addItems({QStringLiteral("No team"), QStringLiteral("Red team"),
                      QStringLiteral("Blue team"), QStringLiteral("Green team"),
                      QStringLiteral("Gold team")});
    m_modelNote = new QLabel;
    m_modelNote->setObjectName(QStringLiteral("modelNote"));
    m_modelNote->setWordWrap(true);
    m_modelNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pickFolder = new QPushButton(QStringLiteral("Look in a Folder..."));
    m_pickFolder->setObjectName(QStringLiteral("pickFolder"));
    m_pickFolder->setToolTip(QStringLiteral("Choose the System folder of your game, where the "
                                            "model is, for the rest of this run"));
    auto* model = new QWidget;
    auto* modelLayout = new QVBoxLayout(model);
    modelLayout->setContentsMargins(0, 0, 0, 0);
    modelLayout->addWidget(m_modelView, 1);
    modelLayout->addWidget(m_team);
    modelLayout->addWidget(m_modelNote);
    modelLayout->addWidget(m_pickFolder);

    auto* top = new QSplitter;
    top->addWidget(menu);
    top->addWidget(group(QStringLiteral("On the model"), model));
    top->addWidget(right);
    top->setSizes({260, 300, 540});

    m_findingList = new QListWidget;
    m_findingList->setObjectName(QStringLiteral("findings"));
    m_findingList->setIconSize(QSize(side / 2, side / 2));
    m_useGameInt = new QPushButton(QStringLiteral("Use the game's INT"));
    m_useGameInt->setObjectName(QStringLiteral("useGameInt"));
    m_useGameInt->setToolTip(QStringLiteral(
        "Put the .int the game's menu needs into the INT box: every texture, each skin and face "
        "described, the first skin by the skin description"));
    auto* findings = new QWidget;
    auto* findingsLayout = new QHBoxLayout(findings);
    findingsLayout->setContentsMargins(0, 0, 0, 0);
    findingsLayout->addWidget(group(QStringLiteral("What the menu will miss"), m_findingList), 1);
    findingsLayout->addWidget(m_useGameInt, 0, Qt::AlignBottom);
    auto* whole = new QSplitter(Qt::Vertical);
    whole->addWidget(top);
    whole->addWidget(findings);
    whole->setSizes({560, 140});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(whole, 1);
    resize(1120, 760);

    connect(m_skinList, &QListWidget::currentRowChanged, this, &GameView::showSkin);
    connect(m_faceList, &QListWidget::currentRowChanged, this, &GameView::showFace);
    connect(m_textureList->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& index) { showFullSize(index.row()); });
    connect(m_findingList, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item)
            showTexture(item->data(kTextureRole).toString());
    });
    connect(m_useGameInt, &QPushButton::clicked, this, &GameView::useGameInt);
    connect(m_team, &QComboBox::currentIndexChanged, this, &GameView::showModel);
    connect(m_pickFolder, &QPushButton::clicked, this, &GameView::pickGameFolder);
}

void GameView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_packageStale)
        readPackage();
}

void GameView::readPackage() {
    m_packageStale = false;
    m_bytes.clear();
    m_tables = PackageTables();
    m_textureNames.clear();
    m_packageName.clear();
    QList<TextureInfo> textures;
    const QString path = m_state.packageFile();
    if (path.isEmpty()) {
        m_status->setText(QStringLiteral("No package yet: choose one with Find Files."));
    } else {
        try {
            m_packageName = packageNameFromTitle(QFileInfo(path).fileName());
            m_bytes = readWholeFile(path);
            m_tables = readPackageTables(m_bytes);
            textures = readTextures(m_bytes, m_tables);
            m_textureNames = textureNames(m_tables);
            m_status->setText(QStringLiteral("%1: %2 textures")
                                  .arg(QDir::toNativeSeparators(path))
                                  .arg(textures.size()));
        } catch (const std::exception& failure) { // a Failure, or no memory for a huge package
            m_status->setText(QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                              failureText(failure));
            m_bytes.clear();
            m_tables = PackageTables();
        }
    }
    setWindowTitle(m_packageName.isEmpty() ? QStringLiteral("Game View")
                                           : m_packageName + QStringLiteral(" - Game View"));
    m_textures->reset(textures, skinGroups(m_textureNames), [this](const TextureInfo& info) {
        return decodeTexture(m_bytes, m_tables, info.exportIndex, TextureListModel::kThumbnailSide);
    });
    m_useGameInt->setEnabled(!m_textureNames.isEmpty());
    m_fullSize->clear();
    m_fullSizeCaption->clear();
    m_model.reset();
    m_shownFace.reset();
    m_noModel = QStringLiteral("Looking for the model...");
    m_modelNotFound = false;
    refreshMenu();
    // Once the view is painted: finding the model reads the game's packages.
    QTimer::singleShot(0, this, &GameView::loadModel);
}

void GameView::scheduleMenu() {
    // Small texts follow at once; a huge one waits a little longer after each edit, so reading it
    // never holds up the typing.
    if (!m_menuTimer.isActive())
        m_menuTimer.start(int(std::min<qint64>(2 * m_lastMenuMs, 1000)));
}

void GameView::refreshMenu() {
    QElapsedTimer timer;
    timer.start();
    const QList<IntEntry> entries = readIntEntries(m_state.intText());
    m_skins = menuSkins(entries);
    m_findings = m_bytes.isEmpty() ? QList<MenuFinding>()
                                   : menuFindings(m_textureNames, entries, m_packageName);

    QList<QPair<QString, QString>> skins;
    for (const MenuSkin& skin : m_skins)
        skins.append({skin.texture, skin.description});
    fill(m_skinList, skins);
    showSkin();

    QHash<QString, QStringList> byTexture;
    const QString chosen =
        m_findingList->currentItem() ? m_findingList->currentItem()->text() : QString();
    QSignalBlocker blocker(m_findingList);
    m_findingList->clear();
    for (const MenuFinding& finding : m_findings) {
        const QString text = findingText(finding);
        byTexture[caseKey(finding.texture)] << text;
        auto* item = new QListWidgetItem(text, m_findingList);
        item->setData(kTextureRole, finding.texture);
        if (const int row = m_textures->rowOf(finding.texture); row >= 0)
            item->setIcon(m_textures->thumbnail(row));
        if (text == chosen)
            m_findingList->setCurrentItem(item);
    }
    if (m_findings.isEmpty() && !m_bytes.isEmpty())
        m_findingList->addItem(QStringLiteral("Nothing: the menu lists every skin and face the "
                                              "package holds."));
    m_textures->setFindings(byTexture);
    m_lastMenuMs = timer.elapsed();
}

void GameView::showSkin() {
    const int row = m_skinList->currentRow();
    QList<QPair<QString, QString>> faces;
    if (row >= 0 && row < m_skins.size()) {
        for (const MenuFace& face : m_skins[row].faces)
            faces.append({face.texture, face.description});
    }
    fill(m_faceList, faces);
    showFace();
}

void GameView::showFace() {
    const int skinRow = m_skinList->currentRow();
    const int faceRow = m_faceList->currentRow();
    // Most edits of the INT text leave the chosen skin and face as they were.
    QString shown;
    if (const QListWidgetItem* skin = m_skinList->currentItem())
        shown = skin->text();
    if (const QListWidgetItem* face = m_faceList->currentItem())
        shown += u'/' + face->text();
    if (m_shownFace == shown)
        return;
    m_shownFace = shown;
    while (QLayoutItem* item = m_slots->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_portrait->clear();
    if (skinRow < 0 || skinRow >= m_skins.size())
        return showModel();
    const MenuSkin& skin = m_skins[skinRow];
    const MenuFace* face =
        faceRow >= 0 && faceRow < skin.faces.size() ? &skin.faces[faceRow] : nullptr;
    const SkinLook look = skinLook(m_textureNames, skin, face);
    if (const int row = m_textures->rowOf(look.portrait); row >= 0) {
        const QPixmap picture = m_textures->thumbnail(row);
        m_portrait->setPixmap(picture.scaled(picture.size() * 2));
    } else if (face) {
        m_portrait->setText(QStringLiteral("no portrait"));
    }
    showModel();
    for (const QString& texture : look.slotTextures) {
        auto* slot = new QLabel;
        const int row = m_textures->rowOf(texture);
        if (row >= 0)
            slot->setPixmap(m_textures->thumbnail(row));
        else
            slot->setText(QStringLiteral("none"));
        slot->setToolTip(texture);
        m_slots->addWidget(slot);
    }
    m_slots->addStretch();
}

void GameView::showTexture(const QString& name) {
    const int row = m_textures->rowOf(name);
    if (row < 0)
        return;
    m_textureList->setCurrentIndex(m_textures->index(row));
    m_textureList->scrollTo(m_textures->index(row));
    showFullSize(row);
}

void GameView::showFullSize(int row) {
    if (row < 0 || row >= m_textures->rowCount())
        return;
    const TextureInfo& info = m_textures->texture(row);
    QString caption =
        QStringLiteral("%1: %2 x %3, %4%5")
            .arg(info.name)
            .arg(info.width)
            .arg(info.height)
            .arg(info.formatName, info.masked ? QStringLiteral(", masked") : QString());
    QImage image;
    if (!info.hasPixels) {
        caption += QStringLiteral(" - drawn by the game as it runs");
        image = placeholderImage(QStringLiteral("drawn by the game"), 128);
    } else if (!info.failure.isEmpty()) {
        caption += QStringLiteral(" - ") + info.failure;
        image = placeholderImage(info.failure, 128);
    } else {
        try {
            image = imageOf(decodeTexture(m_bytes, m_tables, info.exportIndex));
        } catch (const std::exception& failure) {
            caption += QStringLiteral(" - ") + failureText(failure);
            image = placeholderImage(failureText(failure), 128);
        }
    }
    // A small texture is shown larger, in whole steps, so its pixels stay sharp.
    const int zoom = std::max(1, 128 / std::max({1, image.width(), image.height()}));
    if (zoom > 1) {
        image = image.scaled(image.size() * zoom);
        caption += QStringLiteral(" (shown at %1x)").arg(zoom);
    }
    m_fullSize->setPixmap(QPixmap::fromImage(image));
    m_fullSizeCaption->setText(caption);
}

void GameView::loadModel() {
    m_model.reset();
    if (m_bytes.isEmpty()) {
        m_noModel = QString();
    } else {
        try {
            m_model = loadSkinModel(skinMeshName(m_packageName),
                                    modelFolders(m_state.packageFile(), m_gameFolders));
        } catch (const Failure& failure) {
            m_noModel = failure.text();
            m_modelNotFound = failure.kind() == Failure::Kind::NotFound;
        } catch (const std::exception& failure) { // no memory for a huge package
            m_noModel = failureText(failure);
        }
    }
    showModel();
}

// The skin and face chosen in the menu, or while the menu lists none, the first the package
// offers the model.
void GameView::showModel() {
    m_pickFolder->setVisible(!m_model && m_modelNotFound);
    if (!m_model) {
        m_modelView->setModel({}, {});
        m_modelNote->setText(m_noModel);
        return;
    }
    const int skinRow = m_skinList->currentRow();
    const int faceRow = m_faceList->currentRow();
    QString skin, face;
    if (skinRow >= 0 && skinRow < m_skins.size()) {
        const MenuSkin& chosen = m_skins[skinRow];
        skin = skinLayoutFor(m_model->mesh.name) == SkinLayout::SingleSkin ? chosen.texture
                                                                           : chosen.texture.left(4);
        if (faceRow >= 0 && faceRow < chosen.faces.size())
            face = chosen.faces[faceRow].texture.sliced(5);
    }
    QStringList note{QStringLiteral("%1, from %2")
                         .arg(m_model->mesh.name, QDir::toNativeSeparators(m_model->meshFile))};
    try {
        const SkinChoice choice =
            chooseSkin(m_model->mesh.name, m_textureNames, skin, face, m_team->currentIndex() - 1);
        const DressedModel dressed = dressModel(*m_model, m_bytes, m_tables, choice);
        if (dressed.slots.guessed())
            note << QStringLiteral("The tool knows no slots for this model: they are guessed.");
        note += dressed.problems;
        m_modelView->setModel(m_model->triangles, dressed.pictures);
    } catch (const Failure& failure) { // the menu's skin is none the model takes
        note << failure.text();
        m_modelView->setModel(m_model->triangles, {});
    }
    m_modelNote->setText(note.join(u'\n'));
}

void GameView::pickGameFolder() {
    FileDialogRequest request{FileDialogRequest::Mode::Folder, QString(), kSystemFolder, QString(),
                              QString()};
    if (const std::optional<ChosenFile> folder = m_folders.choose(request)) {
        m_gameFolders << folder->path;
        loadModel();
    }
}

void GameView::useGameInt() {
    const QList<IntObject> objects = completeObjects(m_textureNames, m_state.skinDescription(), {});
    Q_EMIT gameIntChosen(buildIntText(m_packageName, objects));
}

} // namespace quorrel
