#include "game/GameCheck.h"

#include "base/Failure.h"
#include "base/Files.h"
#include "base/IgnoringCase.h"
#include "formats/IntFile.h"
#include "formats/Mesh.h"
#include "formats/Package.h"
#include "formats/Texture.h"
#include "game/GameFolders.h"
#include "rules/PlayerModels.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace quorrel {
namespace {

using Kind = GameProblem::Kind;

// A package file of the game, by its tables.
struct GamePackage {
    QString name; // the file's name less its extension: what .int entries name it by
    QString file;
    QString shown;
    QStringList textures;
    QStringList meshes; // its LodMesh and Mesh exports
    bool read = false;  // false: it could not be read, which a problem says
};

// What the game's folders hold, read once; then each model and each problem.
class Game {
public:
    explicit Game(const QString& folder) : m_root(QFileInfo(folder).absoluteFilePath()) {}

    GameCheck check();

private:
    QString shown(const QString& path) const {
        return QDir::toNativeSeparators(m_root.relativeFilePath(path));
    }
    QString folder(QStringView name) const;
    QList<GamePackage> readPackages(const QString& folder, const QStringList& patterns);
    void readInts(const QString& system);
    QList<GameModel> findModels() const;
    const GamePackage* package(const QString& name) const {
        const auto found = m_byName.constFind(caseKey(name));
        return found == m_byName.cend() ? nullptr : *found;
    }
    // The models whose mesh name begins `name`; the longest first.
    QList<const GameModel*> modelsOf(const QString& name) const;
    QString entryText(qsizetype entry) const;

    void checkEntries();
    void checkSkinPackages();

    QDir m_root;
    QList<GamePackage> m_system, m_textures;
    QHash<QString, const GamePackage*> m_byName;  // by caseKey(): System's .u first, as the game
    QStringList m_intFiles;                       // as shown
    QList<IntEntry> m_entries;                    // the texture entries, .int by .int
    QList<qsizetype> m_entryFile;                 // each entry's .int, in m_intFiles
    QHash<QString, QList<qsizetype>> m_entriesOf; // by caseKey() of the package they name
    QSet<QString> m_playerPackages;               // those an .int lists player classes of
    QList<GameModel> m_models;
    QList<GameProblem> m_problems;
};

QString Game::folder(QStringView name) const {
    if (const std::optional<QString> found = childFolder(m_root.path(), name))
        return *found;
    throw Failure::notFound(QStringLiteral("%1 holds no %2 folder: it is no game folder")
                                .arg(QDir::toNativeSeparators(m_root.path()), name.toString()));
}

QList<GamePackage> Game::readPackages(const QString& folder, const QStringList& patterns) {
    QList<GamePackage> packages;
    for (const QFileInfo& info : QDir(folder).entryInfoList(patterns, QDir::Files, QDir::Name)) {
        GamePackage package{
            info.completeBaseName(), info.filePath(), shown(info.filePath()), {}, {}};
        try {
            const PackageTables tables = readPackageTablesOf(package.file);
            package.textures = textureNames(tables);
            for (const PackageExport& object : tables.exports) {
                if (isMeshClass(object.className))
                    package.meshes << object.objectName;
            }
            package.read = true;
        } catch (const std::exception& failure) { // no memory for a huge one too
            m_problems << GameProblem{Kind::Unreadable,
                                      package.name,
                                      {},
                                      {package.shown},
                                      package.shown + QStringLiteral(": cannot be read: ") +
                                          failureText(failure)};
        }
        packages << package;
    }
    return packages;
}

void Game::readInts(const QString& system) {
    const QString playerClass = QStringLiteral("Botpack.TournamentPlayer");
    for (const QFileInfo& info :
         QDir(system).entryInfoList({QStringLiteral("*.int")}, QDir::Files, QDir::Name)) {
        m_intFiles << shown(info.filePath());
        QString text;
        try {
            text = decodeIntFile(readWholeFile(info.filePath()));
        } catch (const std::exception& failure) {
            const auto* own = dynamic_cast<const Failure*>(&failure);
            if (!own || own->kind() != Failure::Kind::Empty) // an empty one lists nothing
                m_problems << GameProblem{Kind::Unreadable,
                                          {},
                                          {},
                                          {m_intFiles.last()},
                                          m_intFiles.last() + QStringLiteral(": cannot be read: ") +
                                              failureText(failure)};
        }
        for (IntEntry& entry : readIntEntries(text)) {
            if (sameIgnoringCase(entry.metaClass, playerClass))
                m_playerPackages.insert(caseKey(entry.package));
            if (!isTextureEntry(entry))
                continue;
            m_entriesOf[caseKey(entry.package)] << m_entries.size();
            m_entries << std::move(entry);
            m_entryFile << m_intFiles.size() - 1;
        }
    }
}

// The stock models where their mesh is, and every mesh of a package an .int lists a player class
// of. Not every mesh: the game's own packages hold monsters and decorations (Queen, Female1) whose
// names begin texture packages that are no skins.
QList<GameModel> Game::findModels() const {
    QHash<QString, GameModel> models;
    for (const GamePackage& package : m_system) {
        // In the stock models' packages, only those count: Botpack holds every weapon's mesh.
        const bool players = m_playerPackages.contains(caseKey(package.name)) &&
                             !isStockModelPackage(QFileInfo(package.file).fileName());
        for (const QString& mesh : package.meshes) {
            const StockModel* stock = stockModel(mesh);
            // A stock model's own package first, then the others by name, as the mesh search.
            const bool own =
                stock && sameIgnoringCase(QFileInfo(package.file).fileName(), stock->package);
            if ((!stock && !players) || (models.contains(caseKey(mesh)) && !own))
                continue;
            models.insert(caseKey(mesh),
                          {{stock ? stock->mesh.toString() : mesh, false}, package.file, {}});
        }
    }
    QList<GameModel> sorted = models.values();
    std::sort(sorted.begin(), sorted.end(), [](const GameModel& a, const GameModel& b) {
        return caseKey(a.menu.mesh) < caseKey(b.menu.mesh);
    });
    for (GameModel& model : sorted) {
        // Custom models are single-skin when their skin packages hold no skin texture.
        QStringList textures;
        for (const GamePackage* package : m_byName) {
            if (startsWithIgnoringCase(package->name, model.menu.mesh))
                textures += package->textures;
        }
        model.menu.singleSkin = isSingleSkin(model.menu.mesh, textures);
        model.skins = listedSkins(m_entries, model.menu);
    }
    return sorted;
}

QList<const GameModel*> Game::modelsOf(const QString& name) const {
    QList<const GameModel*> models;
    for (const GameModel& model : m_models) {
        if (startsWithIgnoringCase(name, model.menu.mesh))
            models << &model;
    }
    std::sort(models.begin(), models.end(), [](const GameModel* a, const GameModel* b) {
        return a->menu.mesh.size() > b->menu.mesh.size();
    });
    return models;
}

QString Game::entryText(qsizetype entry) const {
    const IntEntry& e = m_entries[entry];
    return QStringLiteral("%1 line %2: %3.%4")
        .arg(m_intFiles[m_entryFile[entry]], QString::number(e.line), e.package, e.object);
}

// Entries named for a model whose package or texture is missing; textures listed twice; packages
// described as skins but named for no model.
void Game::checkEntries() {
    QHash<QString, QStringList> listedBy; // each texture listed: the .int files that list it
    QStringList listedOrder;
    QHash<QString, std::pair<QStringList, QStringList>> noModel; // files, skin textures
    QStringList noModelOrder;
    for (qsizetype i = 0; i < m_entries.size(); ++i) {
        const IntEntry& entry = m_entries[i];
        const QString name = entry.package + u'.' + entry.object;
        const QList<const GameModel*> models = modelsOf(name);
        const QString& file = m_intFiles[m_entryFile[i]];
        if (models.isEmpty()) {
            if (describesTexture(entry) && isSkinTexture(entry.object)) {
                auto& [files, textures] = noModel[caseKey(entry.package)];
                if (files.isEmpty())
                    noModelOrder << entry.package;
                files << file;
                textures << entry.object;
            }
            continue;
        }
        const auto lister = std::find_if(models.begin(), models.end(), [&](const GameModel* m) {
            return listsEntry(entry, m->menu);
        });
        const bool listed = lister != models.end();
        // As menuSkins() tells them apart.
        const bool face = listed && !(*lister)->menu.singleSkin && entry.object.size() > 5;
        const QString cannotShow =
            listed ? QStringLiteral("; the menu lists a %1 it cannot show")
                         .arg(face ? QStringLiteral("face") : QStringLiteral("skin"))
                   : QString();
        const GamePackage* holder = package(entry.package);
        if (!holder) {
            m_problems << GameProblem{
                Kind::MissingPackage,
                entry.package,
                entry.object,
                {file},
                entryText(i) +
                    QStringLiteral(": no package %1 in Textures or System").arg(entry.package) +
                    cannotShow};
        } else if (holder->read && std::none_of(holder->textures.begin(), holder->textures.end(),
                                                [&](const QString& t) {
                                                    return sameIgnoringCase(t, entry.object);
                                                })) {
            m_problems << GameProblem{
                Kind::MissingTexture,
                entry.package,
                entry.object,
                {file, holder->shown},
                entryText(i) +
                    QStringLiteral(": %1 holds no texture %2").arg(holder->shown, entry.object) +
                    cannotShow};
        }
        if (listed) {
            QStringList& files = listedBy[caseKey(name)];
            if (files.isEmpty())
                listedOrder << name;
            if (!files.contains(file))
                files << file;
        }
    }
    for (const QString& name : listedOrder) {
        const QStringList& files = listedBy[caseKey(name)];
        if (files.size() > 1)
            m_problems << GameProblem{
                Kind::ListedTwice, name.section(u'.', 0, 0), name.section(u'.', 1), files,
                QStringLiteral("%1: listed by %2; the menu lists it %3 times")
                    .arg(name, files.join(QStringLiteral(" and ")), QString::number(files.size()))};
    }
    for (const QString& name : noModelOrder) {
        auto& [files, textures] = noModel[caseKey(name)];
        files.removeDuplicates();
        m_problems << GameProblem{
            Kind::NoModel, name, textures.first(), files,
            QStringLiteral("%1: %2 describes its %3 as a skin, but its name begins with no "
                           "model's mesh name; no model lists it")
                .arg(name, files.join(QStringLiteral(" and ")),
                     textures.join(QStringLiteral(", ")))};
    }
}

// Skin packages that no .int names, and what --check finds in those that some name.
void Game::checkSkinPackages() {
    for (const GamePackage& skin : m_textures) {
        const QList<const GameModel*> models = modelsOf(skin.name);
        if (!skin.read || models.isEmpty())
            continue;
        const MenuModel& model = models.first()->menu;
        QList<IntEntry> entries;
        QStringList files;
        for (const qsizetype i : m_entriesOf.value(caseKey(skin.name))) {
            entries << m_entries[i];
            if (!files.contains(m_intFiles[m_entryFile[i]]))
                files << m_intFiles[m_entryFile[i]];
        }
        if (files.isEmpty()) {
            m_problems << GameProblem{
                Kind::UnnamedPackage,
                skin.name,
                {},
                {skin.shown},
                QStringLiteral("%1: a skin package of %2 that no .int names; the menu lists none "
                               "of its skins (quorrel-int --complete writes the missing .int)")
                    .arg(skin.shown, model.mesh)};
            continue;
        }
        for (const MenuFinding& finding : modelFindings(skin.textures, entries, skin.name, model)) {
            if (finding.kind == MenuFinding::Kind::NoSuchTexture)
                continue; // told with its .int above
            m_problems << GameProblem{
                Kind::PackageFinding,
                skin.name,
                finding.texture,
                QStringList{skin.shown} + files,
                QStringLiteral("%1 (%2): %3")
                    .arg(skin.shown, files.join(QStringLiteral(", ")), findingText(finding)),
                finding};
        }
    }
}

GameCheck Game::check() {
    const QString system = folder(u"System");
    const QString textures = folder(u"Textures");
    m_system = readPackages(system, {QStringLiteral("*.u"), QStringLiteral("*.utx")});
    m_textures = readPackages(textures, {QStringLiteral("*.utx")});
    // As the game looks for a package: System's first.
    for (const QList<GamePackage>* packages : {&m_system, &m_textures}) {
        for (const GamePackage& package : *packages) {
            if (!m_byName.contains(caseKey(package.name)))
                m_byName.insert(caseKey(package.name), &package);
        }
    }
    readInts(system);
    m_models = findModels();
    checkEntries();
    checkSkinPackages();
    GameCheck result{m_root.path(), system, m_models, m_problems, {}};
    for (auto it = m_byName.cbegin(); it != m_byName.cend(); ++it)
        result.packageFiles.insert(it.key(), (*it)->file);
    return result;
}

} // namespace

GameCheck checkGame(const QString& folder) {
    return Game(folder).check();
}

QString counted(qsizetype count, const QString& thing) {
    return QString::number(count) + u' ' + thing + (count == 1 ? QString() : QStringLiteral("s"));
}

} // namespace quorrel
