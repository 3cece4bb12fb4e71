#include "workflows/BrowserSeam.h"

#include <QDesktopServices>
#include <QUrl>

namespace quorrel {

bool DesktopBrowser::show(const QString& file) {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}

} // namespace quorrel
