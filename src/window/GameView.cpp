#include "window/GameView.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"
#include "formats/IntFile.h"
#include "formats/Texture.h"
#include "rules/SkinMenu.h"
#include "window/FindingsPanel.h"
#include "window/MenuPanel.h"
#include "window/ModelPanel.h"
#include "window/TextureListModel.h"
#include "window/TexturePanel.h"
#include "window/Titled.h"
#include "workflows/GameFolderCheck.h"
#include "workflows/GeneratorState.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace quorrel {

GameView::GameView(const GeneratorState& state, FileDialogSeam& folders, BrowserSeam& browser,
                   const QString& gameFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_folders(folders), m_browser(browser) {
    setObjectName(QStringLiteral("GameView"));
    setWindowTitle(QStringLiteral("Game View"));
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_textures = new TextureListModel(this);
    m_menu = new MenuPanel(*m_textures);
    m_modelPanel = new ModelPanel(folders, gameFolder);
    m_texturePanel = new TexturePanel(*m_textures);
    m_findings = new FindingsPanel(*m_textures);

    auto* top = new QSplitter;
    top->addWidget(m_menu);
    top->addWidget(titled(QStringLiteral("On the model"), m_modelPanel));
    top->addWidget(m_texturePanel);
    top->setSizes({260, 300, 540});
    auto* whole = new QSplitter(Qt::Vertical);
    whole->addWidget(top);
    whole->addWidget(m_findings);
    whole->setSizes({560, 140});
    auto* checkGame = new QPushButton(QStringLiteral("Check Game Folder..."));
    checkGame->setObjectName(QStringLiteral("checkGame"));
    checkGame->setToolTip(QStringLiteral("Show in your browser every skin the player menu of a "
                                         "whole game will list, on its model, and every one it "
                                         "will miss"));
    m_gameCheck = new QLabel;
    m_gameCheck->setObjectName(QStringLiteral("gameCheck"));
    m_gameCheck->setWordWrap(true);
    m_gameCheck->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* game = new QHBoxLayout;
    game->addWidget(m_gameCheck, 1);
    game->addWidget(checkGame);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(whole, 1);
    layout->addLayout(game);
    resize(1120, 760);

    connect(m_menu, &MenuPanel::choiceChanged, this,
            [this] { m_modelPanel->showChoice(m_menu->chosenSkin(), m_menu->chosenFace()); });
    connect(m_findings, &FindingsPanel::textureChosen, this, &GameView::showTexture);
    connect(m_findings, &FindingsPanel::gameIntAsked, this, &GameView::useGameInt);
    connect(checkGame, &QPushButton::clicked, this, &GameView::checkGameFolder);
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

void GameView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_packageStale)
        readPackage();
}

void GameView::showTexture(const QString& name) {
    m_texturePanel->showTexture(name);
}

void GameView::readPackage() {
    m_packageStale = false;
    m_package.reset();
    QList<TextureInfo> textures;
    const QString path = m_state.packageFile();
    if (path.isEmpty()) {
        m_status->setText(QStringLiteral("No package yet: choose one with Find Files."));
    } else {
        try {
            m_package = readSkinPackage(path);
            textures = readTextures(m_package->bytes, m_package->tables);
            m_status->setText(QStringLiteral("%1: %2 textures")
                                  .arg(QDir::toNativeSeparators(path))
                                  .arg(textures.size()));
        } catch (const std::exception& failure) { // no memory for a huge package too
            m_status->setText(QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                              failureText(failure));
            m_package.reset();
        }
    }
    const SkinPackage* package = m_package ? &*m_package : nullptr;
    setWindowTitle(package ? package->name + QStringLiteral(" - Game View")
                           : QStringLiteral("Game View"));
    const QStringList names = package ? package->textures : QStringList();
    m_model = package ? menuModelOf(package->name, names) : MenuModel();
    m_textures->reset(textures, m_model, [package](const TextureInfo& info) {
        return decodeTexture(package->bytes, package->tables, info.exportIndex,
                             TextureListModel::kThumbnailSide);
    });
    m_findings->setGameIntEnabled(!names.isEmpty());
    m_texturePanel->setPackage(package);
    m_menu->setTextures(names);
    m_modelPanel->setPackage(package);
    refreshMenu();
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
    m_menu->setSkins(listedSkins(entries, m_model));
    QList<QPair<QString, QString>> findings;
    QHash<QString, QStringList> byTexture;
    if (m_package) {
        for (const MenuFinding& finding :
             modelFindings(m_package->textures, entries, m_package->name, m_model)) {
            findings.append({finding.texture, findingText(finding)});
            byTexture[caseKey(finding.texture)] << findings.last().second;
        }
    }
    m_findings->setFindings(findings, m_package.has_value());
    m_textures->setFindings(byTexture);
    m_lastMenuMs = timer.elapsed();
}

void GameView::useGameInt() {
    if (!m_package)
        return;
    const QList<IntObject> objects =
        gameObjects(m_package->textures, m_model, m_state.skinDescription(), {});
    Q_EMIT gameIntChosen(buildIntText(m_package->name, objects));
}

void GameView::checkGameFolder() {
    // Drawing a thousand skins takes seconds: a bar, and the window waits.
    QProgressDialog progress(QStringLiteral("Drawing the skins..."), QString(), 0, 0, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const std::optional<QString> told =
        CheckGameFolder(m_folders, m_browser, [&progress](qsizetype done, qsizetype total) {
            progress.setMaximum(int(total));
            progress.setValue(int(done));
        });
    if (told)
        m_gameCheck->setText(*told);
}

} // namespace quorrel
