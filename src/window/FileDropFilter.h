#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWidget;

namespace quorrel {

// Takes drops on a window and every child that would take dropped data as text: a drag that
// carries one regular local file or one folder is offered a copy (never a move: the file stays
// where it is), and `open` gets its path once the drop has finished, so the file manager is not
// kept waiting. Several files and other data are refused, and so is every drag while `accepting`
// says no.
class FileDropFilter : public QObject {
public:
    FileDropFilter(QWidget* window, std::function<bool()> accepting,
                   std::function<void(const QString&)> open);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<bool()> m_accepting;
    std::function<void(const QString&)> m_open;
};

} // namespace quorrel
