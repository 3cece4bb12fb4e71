// How long the game view takes to open and paint, to paint every thumbnail of a big package, and
// to follow a keystroke in the INT text; and the peak memory that costs.
//
//   DISPLAY=... build/bench/game_view_benchmark FOLDER      (bench/run.sh runs it under Xvfb)
//
// It writes its packages into FOLDER, then measures in a process of its own, so that the peak
// memory is the window's and not that of making the packages.
#include "BenchPackages.h"

#include "window/Form1.h"
#include "workflows/MessageBoxSeam.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QListView>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <algorithm>
#include <cstdio>

namespace {

class PrintingMessageBox : public quorrel::MessageBoxSeam {
public:
    void show(const QString& text, const QString&, Buttons, Icon) override {
        std::fprintf(stderr, "message box: %s\n", qPrintable(text));
    }
};

// The high-water mark of this process's memory. Not getrusage(): its peak outlives exec(), and
// this process was forked by one that built 85 MiB of packages.
long peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    }
    return -1;
}

// Until the window would handle the next key: nothing left to do, everything painted.
void settle(QWidget& window) {
    QApplication::processEvents();
    window.repaint();
    QApplication::processEvents();
    QGuiApplication::sync();
}

struct Opened {
    qint64 ms;
    QWidget* view;
};

// Opens the package in the window, then times the game view from the shortcut to its first paint.
Opened openView(quorrel::Form1& form, const QString& package) {
    form.openPackage(package);
    settle(form);
    QElapsedTimer timer;
    timer.start();
    form.findChild<QAction*>(QStringLiteral("gameViewAction"))->trigger();
    auto* view = form.findChild<QWidget*>(QStringLiteral("GameView"));
    if (!QTest::qWaitForWindowExposed(view))
        std::fprintf(stderr, "the game view did not show\n");
    settle(*view);
    return {timer.elapsed(), view};
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 2 &&
        !(arguments.size() == 3 && arguments[1] == QLatin1String("--measure"))) {
        std::fprintf(stderr, "usage: game_view_benchmark FOLDER\n");
        return 2;
    }
    const QString folder = arguments.last();
    const QString small = folder + QStringLiteral("/Fifty_Skins.utx");
    const QString big = folder + QStringLiteral("/Many_Skins.utx");
    const QString hundred = folder + QStringLiteral("/Many_Hundred.utx");
    if (arguments.size() == 2) {
        QList<QByteArray> names{"None", "Many"}; // 100 pictures, a quarter of them faces
        for (int i = 0; i < 100; ++i)
            names << "Skin" + QByteArray::number(i / 4) + (i % 4 ? "4Face" : "") +
                         QByteArray::number(i);
        if (!benchpkg::writeFile(small, benchpkg::texturePackage(50, 256)) ||
            !benchpkg::writeFile(big, benchpkg::texturePackage(1024, 256)) ||
            !benchpkg::writeFile(hundred, testpkg::package(names))) {
            std::fprintf(stderr, "game_view_benchmark: cannot write into %s\n", argv[1]);
            return 1;
        }
        return QProcess::execute(arguments[0], {QStringLiteral("--measure"), folder});
    }
    PrintingMessageBox box;
    {
        quorrel::Form1 form({nullptr, &box, std::nullopt});
        form.show();
        settle(form);
        std::printf("open_50_ms %lld\n", openView(form, small).ms);

        // 100 pictures in the INT text, then a keystroke at its end.
        form.openPackage(hundred);
        form.findChild<QPushButton*>(QStringLiteral("Command2"))->click();
        auto* text = form.findChild<QPlainTextEdit*>(QStringLiteral("Text6"));
        text->moveCursor(QTextCursor::End);
        QList<qint64> keystrokes;
        for (int i = 0; i < 21; ++i) {
            QElapsedTimer timer;
            timer.start();
            QTest::keyClick(text, i % 2 ? Qt::Key_Backspace : Qt::Key_X);
            QApplication::processEvents(); // the lists follow on the next turn of the loop
            keystrokes << timer.nsecsElapsed() / 1000;
        }
        std::sort(keystrokes.begin(), keystrokes.end());
        std::printf("keystroke_us %lld (median of %lld; slowest %lld)\n",
                    keystrokes[keystrokes.size() / 2], qint64(keystrokes.size()),
                    keystrokes.last());
    }

    quorrel::Form1 form({nullptr, &box, std::nullopt});
    form.show();
    settle(form);
    const Opened opened = openView(form, big);
    std::printf("open_1024_ms %lld\n", opened.ms);
    QElapsedTimer timer;
    timer.start();
    auto* grid = opened.view->findChild<QListView*>(QStringLiteral("textures"));
    QScrollBar* bar = grid->verticalScrollBar();
    for (int at = 0;; at += bar->pageStep()) {
        bar->setValue(at);
        settle(*opened.view);
        if (at >= bar->maximum())
            break;
    }
    std::printf("all_thumbnails_ms %lld (scrolled through, each page painted)\n",
                timer.elapsed() + opened.ms);
    std::printf("package_mb %lld\npeak_mb %ld\n", QFileInfo(big).size() >> 20, peakMegabytes());
    return 0;
}
