#include "game/PictureFolder.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"
#include "formats/Texture.h"
#include "game/PictureTextures.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace quorrel {
namespace {

// The folder's pictures, by file name; hidden files (editors' temporaries) left out.
QFileInfoList picturesIn(const QString& folder) {
    QFileInfoList pictures;
    for (const QFileInfo& file : QDir(folder).entryInfoList(QDir::Files)) {
        if (isPictureFile(file.fileName()))
            pictures << file;
    }
    std::sort(pictures.begin(), pictures.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.fileName() < b.fileName(); });
    return pictures;
}

// What --make refuses of the names, and a texture named as the package, which its writer refuses.
QStringList nameProblems(const QFileInfoList& pictures, const QString& packageName) {
    QStringList files;
    for (const QFileInfo& picture : pictures)
        files << picture.fileName();
    QStringList problems = textureNameProblems(files);
    for (qsizetype i = 0; i < problems.size(); ++i) {
        if (problems[i].isEmpty() &&
            caseKey(pictures[i].completeBaseName()) == caseKey(packageName))
            problems[i] = QStringLiteral("its texture would have the package's name, case aside");
    }
    return problems;
}

} // namespace

PictureFolder::PictureFolder(const QString& path) {
    const QFileInfo folder(path);
    m_package.file = path;
    m_package.name = folder.fileName();
    if (!folder.exists())
        throw Failure(Failure::Kind::Missing);
    if (!folder.isDir())
        throw Failure::refused(QStringLiteral("not a folder"));
    if (const std::optional<QString> bad = badTextureName(m_package.name))
        throw Failure::refused(QStringLiteral("as the package's name, ") + *bad);
    // The names first: a refusal costs no decoding.
    const QFileInfoList pictures = picturesIn(path);
    if (pictures.isEmpty())
        throw Failure::refused(QStringLiteral("the folder holds no PNG, BMP, TGA or PCX picture"));
    const QStringList problems = nameProblems(pictures, m_package.name);
    for (qsizetype i = 0; i < problems.size(); ++i) {
        if (!problems[i].isEmpty())
            throw Failure::refused(problems[i]).about(pictures[i].fileName());
    }
    refresh();
    if (!m_problems.isEmpty())
        throw Failure::refused(m_problems.first().reason).about(m_problems.first().file);
}

FolderChange PictureFolder::refresh(const QStringList& touched) {
    FolderChange change;
    const QList<PictureProblem> problemsBefore = m_problems;
    if (!QFileInfo(path()).isDir()) {
        m_problems = {{QString(),
                       QStringLiteral("the folder is gone; its pictures as last read stay"), true}};
        change.problems = m_problems != problemsBefore;
        return change;
    }
    const QDir folder(path());
    const QFileInfoList pictures = picturesIn(path());
    const QStringList refusedNames = nameProblems(pictures, m_package.name);
    QHash<QString, Entry> before;
    for (Entry& entry : m_entries)
        before.insert(entry.file, std::move(entry));
    m_entries.clear();
    m_problems.clear();
    for (qsizetype i = 0; i < pictures.size(); ++i) {
        const QFileInfo& picture = pictures[i];
        Entry entry = before.take(picture.fileName());
        entry.file = picture.fileName();
        if (!refusedNames[i].isEmpty()) {
            change.textures |= entry.texture.has_value();
            entry = Entry{entry.file, -1, {}, std::nullopt, refusedNames[i], true};
        } else if (entry.nameRefused || !entry.texture || !entry.problem.isEmpty() ||
                   entry.size != picture.size() || entry.modified != picture.lastModified() ||
                   touched.contains(folder.filePath(entry.file))) {
            entry.nameRefused = false;
            entry.size = picture.size();
            entry.modified = picture.lastModified();
            try {
                entry.texture = readPictureTexture(picture.filePath(), false);
                entry.problem.clear();
                change.textures = true;
            } catch (const std::exception& failure) { // no memory for a huge picture too
                entry.problem = failureText(failure);
            }
        }
        if (!entry.problem.isEmpty())
            m_problems.append({entry.file, entry.problem, entry.texture.has_value()});
        m_entries << std::move(entry);
    }
    for (const Entry& gone : std::as_const(before))
        change.textures |= gone.texture.has_value();
    change.problems = m_problems != problemsBefore;
    if (change.textures) {
        const QStringList namesBefore = m_package.textures;
        rebuild();
        change.names = m_package.textures != namesBefore;
    }
    return change;
}

QStringList PictureFolder::pictureFiles() const {
    const QDir folder(path());
    QStringList files;
    for (const Entry& entry : m_entries)
        files << folder.filePath(entry.file);
    return files;
}

const QByteArray& PictureFolder::completeBytes() const {
    if (!m_problems.isEmpty()) {
        QStringList unread;
        for (const PictureProblem& problem : m_problems)
            unread << (problem.file.isEmpty()
                           ? problem.reason
                           : problem.file + QStringLiteral(": ") + problem.reason);
        throw Failure::refused(QStringLiteral("not every picture makes its texture now (") +
                               unread.join(QStringLiteral("; ")) + u')');
    }
    if (m_package.textures.isEmpty())
        throw Failure::refused(QStringLiteral("the folder holds no PNG, BMP, TGA or PCX picture"));
    return m_package.bytes;
}

void PictureFolder::rebuild() {
    QList<PackageTexture> textures;
    for (const Entry& entry : m_entries) {
        if (entry.texture)
            textures << *entry.texture;
    }
    m_package.bytes = writeTexturePackage(m_package.name, textures);
    m_package.tables = readPackageTables(m_package.bytes);
    m_package.textures = textureNames(m_package.tables);
}

} // namespace quorrel
