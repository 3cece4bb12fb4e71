// Opens a package through the real window, then makes its INT text, and reports how long each
// takes until the window takes keys again (the handler has returned, the events it posted are
// handled and the window is painted), and the process's peak memory after each.
//
//   DISPLAY=... build/bench/open_benchmark PACKAGE.utx      (bench/run.sh runs it under Xvfb)
#include "window/Form1.h"
#include "workflows/FileDialogSeam.h"
#include "workflows/MessageBoxSeam.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <sys/resource.h>

#include <cstdio>

namespace {

QElapsedTimer sinceAnswer;

class AnsweringDialog : public quorrel::FileDialogSeam {
public:
    explicit AnsweringDialog(QString path) : m_path(std::move(path)) {}
    std::optional<quorrel::ChosenFile> choose(const quorrel::FileDialogRequest&) override {
        sinceAnswer.start();
        return quorrel::ChosenFile{m_path, QFileInfo(m_path).fileName()};
    }

private:
    QString m_path;
};

class PrintingMessageBox : public quorrel::MessageBoxSeam {
public:
    void show(const QString& text, const QString&, Buttons, Icon) override {
        std::fprintf(stderr, "message box: %s\n", qPrintable(text));
    }
};

long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// User and system time of the process, in ms: on a busy machine this varies less than the
// elapsed time.
qint64 cpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return (qint64(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

// Until the window would handle the next key: nothing left to do, everything painted.
void settle(QWidget& window) {
    QApplication::processEvents();
    window.repaint();
    QApplication::processEvents();
    QGuiApplication::sync();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: open_benchmark PACKAGE.utx\n");
        return 2;
    }
    AnsweringDialog dialog(QString::fromLocal8Bit(argv[1]));
    PrintingMessageBox box;
    quorrel::Form1 form({&dialog, &box, std::nullopt});
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    settle(form);
    const long before = peakMegabytes();

    const qint64 cpuBeforeOpen = cpuMs();
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    settle(form);
    const qint64 openMs = sinceAnswer.elapsed();
    const qint64 openCpuMs = cpuMs() - cpuBeforeOpen;
    const long openPeak = peakMegabytes();
    const int pictures = form.findChild<QListView*>(QStringLiteral("List2"))->model()->rowCount();

    const qint64 cpuBeforeMakeInt = cpuMs();
    QElapsedTimer sinceClick;
    sinceClick.start();
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command2")), Qt::LeftButton);
    settle(form);
    const qint64 makeIntMs = sinceClick.elapsed();
    const qint64 makeIntCpuMs = cpuMs() - cpuBeforeMakeInt;
    const qsizetype textSize = form.state().intText().size();

    std::printf("pictures %d, INT text %lld characters, peak before opening %ld MB\n", pictures,
                qint64(textSize), before);
    std::printf("open_ms %lld\nopen_cpu_ms %lld\nopen_peak_mb %ld\n", openMs, openCpuMs, openPeak);
    std::printf("make_int_ms %lld\nmake_int_cpu_ms %lld\nmake_int_peak_mb %ld\n", makeIntMs,
                makeIntCpuMs, peakMegabytes());
    return 0;
}
