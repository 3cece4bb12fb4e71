#include "window/GameView.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"
#include "formats/IntFile.h"
#include "formats/Texture.h"
#include "rules/SkinMenu.h"
#include "window/FileDropFilter.h"
#include "window/FindingsPanel.h"
#include "window/MenuPanel.h"
#include "window/ModelPanel.h"
#include "window/TextureListModel.h"
#include "window/TexturePanel.h"
#include "window/Titled.h"
#include "workflows/FileDialogSeam.h"
#include "workflows/GameFolderCheck.h"
#include "workflows/GeneratorState.h"
#include "workflows/LiveFolder.h"
#include "workflows/Workflows.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace quorrel {

GameView::GameView(const GeneratorState& state, const LiveFolder& live, FileDialogSeam& dialogs,
                   MessageBoxSeam& messages, BrowserSeam& browser, const QString& gameFolder,
                   QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state), m_live(live), m_dialogs(dialogs),
      m_messages(messages), m_browser(browser) {
    setObjectName(QStringLiteral("GameView"));
    setWindowTitle(QStringLiteral("Game View"));
    auto button = [](const char* name, const QString& text, const QString& tip) {
        auto* b = new QPushButton(text);
        b->setObjectName(QString::fromLatin1(name));
        b->setToolTip(tip);
        return b;
    };
    QPushButton* openFolder = button(
        "openFolder", QStringLiteral("Open Pictures Folder..."),
        QStringLiteral("Open a folder of PNG, BMP, TGA and PCX pictures as the package it makes, "
                       "named after the folder; the view follows the pictures as you save them"));
    m_savePackage = button("savePackage", QStringLiteral("Save Package..."),
                           QStringLiteral("Write the pictures folder's package (.utx)"));
    m_release = button("release", QStringLiteral("Release..."),
                       QStringLiteral("Write the zip players unzip into the game's folder: the "
                                      "package, the INT text as Save writes it, and a readme"));
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_textures = new TextureListModel(this);
    m_menu = new MenuPanel(*m_textures);
    m_modelPanel = new ModelPanel(dialogs, gameFolder);
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
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {openFolder, m_savePackage, m_release})
        buttons->addWidget(b);
    buttons->addStretch();
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
    layout->addLayout(buttons);
    layout->addWidget(m_status);
    layout->addWidget(whole, 1);
    layout->addLayout(game);
    // As large as it was laid out for, but never past the screen: its buttons sit at the edges.
    QSize size(1120, 760);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);

    connect(m_menu, &MenuPanel::choiceChanged, this,
            [this] { m_modelPanel->showChoice(m_menu->chosenSkin(), m_menu->chosenFace()); });
    connect(m_findings, &FindingsPanel::textureChosen, this, &GameView::showTexture);
    connect(m_findings, &FindingsPanel::gameIntAsked, this, &GameView::useGameInt);
    connect(checkGame, &QPushButton::clicked, this, &GameView::checkGameFolder);
    connect(openFolder, &QPushButton::clicked, this, &GameView::openFolder);
    connect(m_savePackage, &QPushButton::clicked, this, [this] {
        if (const PictureFolder* folder = shownFolder())
            SavePackage(*folder, m_dialogs, m_messages);
    });
    connect(m_release, &QPushButton::clicked, this, [this] {
        const PictureFolder* folder = shownFolder();
        if (folder || m_package)
            SaveRelease(folder ? folder->package() : *m_package, folder, m_state.intText(),
                        m_dialogs, m_messages);
    });
    m_menuTimer.setSingleShot(true);
    connect(&m_menuTimer, &QTimer::timeout, this, &GameView::refreshMenu);
    connect(&state, &GeneratorState::packageFileChanged, this, [this] {
        // A hidden view reads the package when it is shown again, not with every Open.
        m_packageStale = true;
        if (isVisible())
            readPackage();
    });
    connect(&state, &GeneratorState::intTextChanged, this, &GameView::scheduleMenu);
    connect(&live, &LiveFolder::changed, this, &GameView::followFolder);
    new FileDropFilter(
        this, [] { return true; }, [this](const QString& path) { Q_EMIT openAsked(path); });
}

void GameView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_packageStale)
        readPackage();
}

void GameView::showTexture(const QString& name) {
    m_texturePanel->showTexture(name);
}

const PictureFolder* GameView::shownFolder() const {
    const PictureFolder* folder = m_live.folder();
    return folder && folder->path() == m_state.packageFile() ? folder : nullptr;
}

void GameView::readPackage() {
    m_packageStale = false;
    m_package.reset();
    QList<TextureInfo> textures;
    const QString path = m_state.packageFile();
    if (!path.isEmpty()) {
        try {
            const PictureFolder* folder = shownFolder();
            m_package = folder ? folder->package() : readSkinPackage(path);
            textures = readTextures(m_package->bytes, m_package->tables);
        } catch (const std::exception& failure) { // no memory for a huge package too
            m_status->setText(QDir::toNativeSeparators(path) + QStringLiteral(": ") +
                              failureText(failure));
            m_package.reset();
        }
    }
    showPackage(std::move(textures), false);
}

void GameView::followFolder(const FolderChange& change) {
    const PictureFolder* folder = shownFolder();
    if (!folder || m_packageStale)
        return;
    if (!isVisible()) {
        m_packageStale = true;
        return;
    }
    if (!change.textures) {
        showStatus(m_textures->rowCount());
        return;
    }
    m_package = folder->package();
    showPackage(readTextures(m_package->bytes, m_package->tables), true);
}

void GameView::showPackage(QList<TextureInfo> textures, bool samePackage) {
    const SkinPackage* package = m_package ? &*m_package : nullptr;
    setWindowTitle(package ? package->name + QStringLiteral(" - Game View")
                           : QStringLiteral("Game View"));
    const QStringList names = package ? package->textures : QStringList();
    const QString shown = samePackage ? m_texturePanel->shownTexture() : QString();
    const qsizetype count = textures.size();
    m_model = package ? menuModelOf(package->name, names) : MenuModel();
    m_textures->reset(std::move(textures), m_model, [package](const TextureInfo& info) {
        return decodeTexture(package->bytes, package->tables, info.exportIndex,
                             TextureListModel::kThumbnailSide);
    });
    m_findings->setGameIntEnabled(!names.isEmpty());
    m_texturePanel->setPackage(package);
    m_menu->setTextures(names);
    if (samePackage)
        m_modelPanel->followTextures(package);
    else
        m_modelPanel->setPackage(package);
    refreshMenu();
    if (!shown.isEmpty())
        showTexture(shown);
    if (package || m_state.packageFile().isEmpty())
        showStatus(count);
    m_savePackage->setEnabled(shownFolder());
    m_release->setEnabled(package);
}

void GameView::showStatus(qsizetype textureCount) {
    const QString path = QDir::toNativeSeparators(m_state.packageFile());
    const PictureFolder* folder = shownFolder();
    if (path.isEmpty()) {
        m_status->setText(QStringLiteral(
            "No package yet: choose one with Find Files, or open a pictures folder."));
        return;
    }
    if (!folder) {
        m_status->setText(QStringLiteral("%1: %2 textures").arg(path).arg(textureCount));
        return;
    }
    QStringList lines{
        QStringLiteral("%1: a pictures folder, %2 textures, followed as its pictures change")
            .arg(path)
            .arg(textureCount)};
    QHash<QString, QString> unread;
    for (const PictureProblem& problem : folder->problems()) {
        if (problem.file.isEmpty()) {
            lines << problem.reason;
            continue;
        }
        lines << QStringLiteral("%1: %2 (%3)")
                     .arg(problem.file, problem.reason,
                          problem.kept ? QStringLiteral("the texture read before stays")
                                       : QStringLiteral("left out"));
        if (problem.kept)
            unread.insert(caseKey(QFileInfo(problem.file).completeBaseName()), problem.reason);
    }
    m_status->setText(lines.join(u'\n'));
    m_textures->setUnread(unread);
    m_texturePanel->fitCells();
}

void GameView::openFolder() {
    FileDialogRequest request{FileDialogRequest::Mode::Folder, QString(), QString(), QString(),
                              QString()};
    if (const std::optional<ChosenFile> folder = m_dialogs.choose(request))
        Q_EMIT openAsked(folder->path);
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
        CheckGameFolder(m_dialogs, m_browser, [&progress](qsizetype done, qsizetype total) {
            progress.setMaximum(int(total));
            progress.setValue(int(done));
        });
    if (told)
        m_gameCheck->setText(*told);
}

} // namespace quorrel
