#pragma once

#include "game/PictureFolder.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QTimer>

#include <memory>

namespace quorrel {

// The pictures folder open in the window, watched: a picture saved, added or removed is read
// once its writing has settled, and the change is signalled. Paint programs write in steps, so a
// picture that cannot be read is tried again a few times, and again on its next change.
class LiveFolder : public QObject {
    Q_OBJECT

public:
    explicit LiveFolder(QObject* parent = nullptr);

    // Watches `folder` from now on, in place of the one open before.
    void open(std::unique_ptr<PictureFolder> folder);
    void close();
    // Null while none is open.
    const PictureFolder* folder() const { return m_folder.get(); }

Q_SIGNALS:
    // The folder was read again and this changed.
    void changed(const quorrel::FolderChange& change);

private:
    void readAgain();
    void watch();

    std::unique_ptr<PictureFolder> m_folder;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
    QSet<QString> m_touched; // changed files, read again whatever their size and time say
    int m_retries = 0;       // of pictures that could not be read, since the last change
};

} // namespace quorrel
