#include "window/FileDropFilter.h"

#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <optional>

namespace quorrel {
namespace {

// The one regular local file or folder a drag carries.
std::optional<QString> droppedFile(const QMimeData* data) {
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return std::nullopt;
    const QString path = urls.first().toLocalFile();
    if (const QFileInfo file(path); !file.isFile() && !file.isDir())
        return std::nullopt;
    return path;
}

} // namespace

FileDropFilter::FileDropFilter(QWidget* window, std::function<bool()> accepting,
                               std::function<void(const QString&)> open)
    : QObject(window), m_accepting(std::move(accepting)), m_open(std::move(open)) {
    window->setAcceptDrops(true);
    window->installEventFilter(this);
    for (QWidget* child : window->findChildren<QWidget*>()) {
        if (child->acceptDrops())
            child->installEventFilter(this);
    }
}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* drop = static_cast<QDropEvent*>(event);
    const bool urls = drop->mimeData() && drop->mimeData()->hasUrls();
    if (!urls && watched != parent())
        return QObject::eventFilter(watched, event); // text and the like, for a text box
    const std::optional<QString> file =
        urls && m_accepting() ? droppedFile(drop->mimeData()) : std::nullopt;
    if (!file || !(drop->possibleActions() & Qt::CopyAction)) {
        drop->ignore();
        return true;
    }
    drop->setDropAction(Qt::CopyAction);
    drop->accept();
    if (type == QEvent::Drop)
        QMetaObject::invokeMethod(
            this, [this, path = *file] { m_open(path); }, Qt::QueuedConnection);
    return true;
}

} // namespace quorrel
