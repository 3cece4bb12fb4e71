// Opens a package of about a million short names through the real window and reports how long it
// takes from the dialog's answer to the picture list on screen, and the process's peak memory.
//
//   QT_QPA_PLATFORM=offscreen build/bench/open_benchmark [name-count]
#include "window/Form1.h"
#include "workflows/FileDialogSeam.h"
#include "workflows/MessageBoxSeam.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
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
        return quorrel::ChosenFile{m_path, QStringLiteral("Many_Names.utx")};
    }

private:
    QString m_path;
};

class CountingMessageBox : public quorrel::MessageBoxSeam {
public:
    void show(const QString& text, const QString&, Buttons, Icon) override {
        std::fprintf(stderr, "message box: %s\n", qPrintable(text));
    }
};

QByteArray nameHeavyPackage(int count) {
    QByteArray bytes(64, '\x01');
    bytes.append('\x05');
    auto add = [&bytes](const QByteArray& name) {
        bytes += name;
        bytes.append("\x00\x10\x00\x07\x00", 5);
        bytes.append('\x05');
    };
    add("None");
    add("many_names");
    for (int i = 0; i < count; ++i)
        add("P" + QByteArray::number(qint64(i) * 7919 % count, 36));
    return bytes + QByteArray("\x40\x04\x00", 3);
}

long peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const int count = argc > 1 ? QByteArray(argv[1]).toInt() : 1'000'000;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Many_Names.utx"));
    {
        QFile file(path);
        const QByteArray bytes = nameHeavyPackage(count);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
    }
    const long before = peakMegabytes();

    AnsweringDialog dialog(path);
    CountingMessageBox box;
    quorrel::Form1 form({&dialog, &box, std::nullopt});
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return 1;
    auto* list = form.findChild<QListView*>(QStringLiteral("List2"));
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QApplication::processEvents();
    list->viewport()->repaint();
    const qint64 ms = sinceAnswer.elapsed();

    std::printf("names: %d, pictures shown: %d\n", count, list->model()->rowCount());
    std::printf("dialog answer to picture list shown: %lld ms (target 1000)\n", ms);
    std::printf("peak memory: %ld MB (target 400; %ld MB before the window existed)\n",
                peakMegabytes(), before);
    return 0;
}
