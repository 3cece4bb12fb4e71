// Shows either a bare Qt window with one text label or the tool's window, waits until it is on
// screen, and quits: the start-up cost of each, measured from outside (see run.sh).
#include "window/Form1.h"

#include <QApplication>
#include <QLabel>
#include <QTest>

#include <cstring>
#include <memory>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (argc > 1 && std::strcmp(argv[1], "bare") == 0)
        window = std::make_unique<QLabel>(QStringLiteral("Quorrel File Generator"));
    else
        window = std::make_unique<quorrel::Form1>();
    window->show();
    return QTest::qWaitForWindowExposed(window.get()) ? 0 : 1;
}
