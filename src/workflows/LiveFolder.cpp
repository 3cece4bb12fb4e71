#include "workflows/LiveFolder.h"

#include <algorithm>

namespace quorrel {
namespace {

// A save is a burst of writes: the folder is read once they have stopped for this long.
constexpr int kSettleMs = 30;
// A picture that cannot be read yet is tried again after this long, so many times.
constexpr int kRetryMs = 250;
constexpr int kRetries = 4;

} // namespace

LiveFolder::LiveFolder(QObject* parent) : QObject(parent) {
    m_settle.setSingleShot(true);
    auto changedOnDisk = [this] {
        m_retries = 0;
        m_settle.start(kSettleMs);
    };
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, changedOnDisk);
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this,
            [this, changedOnDisk](const QString& file) {
                m_touched << file;
                changedOnDisk();
            });
    connect(&m_settle, &QTimer::timeout, this, &LiveFolder::readAgain);
}

void LiveFolder::open(std::unique_ptr<PictureFolder> folder) {
    close();
    m_folder = std::move(folder);
    watch();
}

void LiveFolder::close() {
    m_settle.stop();
    m_touched.clear();
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_watcher.directories().isEmpty())
        m_watcher.removePaths(m_watcher.directories());
    m_folder.reset();
}

void LiveFolder::readAgain() {
    if (!m_folder)
        return;
    FolderChange change;
    try {
        change = m_folder->refresh(m_touched.values());
    } catch (const std::exception&) { // no memory to build the package: the last one stays
    }
    m_touched.clear();
    watch();
    const QList<PictureProblem>& problems = m_folder->problems();
    const bool unread = std::any_of(problems.cbegin(), problems.cend(),
                                    [](const PictureProblem& p) { return !p.file.isEmpty(); });
    if (unread && m_retries < kRetries) {
        ++m_retries;
        m_settle.start(kRetryMs);
    }
    if (change.any())
        Q_EMIT changed(change);
}

void LiveFolder::watch() {
    // An atomic save (write a new file, rename it over the old) leaves the watch on the old file:
    // every picture is watched anew. The folder's own watch sees pictures come and go.
    if (!m_watcher.files().isEmpty())
        m_watcher.removePaths(m_watcher.files());
    if (!m_folder)
        return;
    if (!m_watcher.directories().contains(m_folder->path()))
        m_watcher.addPath(m_folder->path());
    const QStringList pictures = m_folder->pictureFiles();
    if (!pictures.isEmpty())
        m_watcher.addPaths(pictures);
}

} // namespace quorrel
