// What a million-line INT text costs in the text widgets Qt offers, on the GUI thread, for the
// record: Make INT puts the text into a QPlainTextEdit, whose document takes seconds to build
// one block per line. Each option prints how long the window would not take keys, and for the
// ones that spread the work, how long until the whole text is there.
//
//   DISPLAY=... build/bench/text_box_options PACKAGE.utx     (bench/run.sh runs it under Xvfb)
#include "formats/IntFile.h"
#include "rules/NameFields.h"
#include "rules/PictureScan.h"
#include "workflows/GeneratorState.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QListView>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QStringListModel>
#include <QTextEdit>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {

template <typename Work> qint64 msFor(Work&& work) {
    QElapsedTimer timer;
    timer.start();
    work();
    QApplication::processEvents();
    return timer.elapsed();
}

// The text in pieces of whole lines, so no CR LF is split.
QList<QStringView> linesInChunks(const QString& text, int linesPerChunk) {
    QList<QStringView> chunks;
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = at;
        for (int n = 0; n < linesPerChunk && end < text.size(); ++n) {
            end = text.indexOf(u'\n', end);
            end = end < 0 ? text.size() : end + 1;
        }
        chunks << QStringView(text).sliced(at, end - at);
        at = end;
    }
    return chunks;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: text_box_options PACKAGE.utx\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    quorrel::GeneratorState state;
    state.setPackageName(quorrel::packageNameFromTitle(QFileInfo(path).fileName()));
    quorrel::ParseFile(state, path);
    const QString text =
        quorrel::buildIntText(state.packageName(), state.skinDescription(), state.pictures());

    {
        QPlainTextEdit box;
        box.show();
        std::printf("QPlainTextEdit::setPlainText (today): %lld ms\n", msFor([&] {
                        box.setPlainText(text);
                        box.repaint();
                    }));
    }
    {
        QTextEdit box;
        box.show();
        std::printf("QTextEdit::setPlainText: %lld ms\n", msFor([&] {
                        box.setPlainText(text);
                        box.repaint();
                    }));
    }
    {
        QTextDocument document;
        document.setDocumentLayout(new QPlainTextDocumentLayout(&document));
        std::printf("its QTextDocument alone, no widget: %lld ms\n",
                    msFor([&] { document.setPlainText(text); }));
    }
    {
        QPlainTextEdit box;
        box.show();
        box.document()->setUndoRedoEnabled(false);
        qint64 longest = 0;
        const qint64 total = msFor([&] {
            for (QStringView chunk : linesInChunks(text, 20000)) {
                longest = std::max(longest, msFor([&] {
                                       QTextCursor end(box.document());
                                       end.movePosition(QTextCursor::End);
                                       end.insertText(chunk.toString());
                                   }));
            }
        });
        std::printf("QPlainTextEdit filled 20000 lines at a time: longest step %lld ms, "
                    "whole text after %lld ms\n",
                    longest, total);
    }
    {
        QPlainTextEdit box;
        box.show();
        QTextDocument* document = nullptr;
        QElapsedTimer sinceStart;
        sinceStart.start();
        QThread* worker = QThread::create([&] {
            document = new QTextDocument;
            document->setDocumentLayout(new QPlainTextDocumentLayout(document));
            document->setPlainText(text);
            document->moveToThread(QApplication::instance()->thread());
        });
        worker->start();
        while (!worker->wait(10))
            QApplication::processEvents();
        const qint64 built = sinceStart.elapsed();
        const qint64 swap = msFor([&] {
            box.setDocument(document);
            box.repaint();
        });
        std::printf("document built on another thread after %lld ms, then setDocument: %lld ms\n",
                    built, swap);
        delete worker;
    }
    {
        QListView view;
        QStringListModel lines;
        view.setModel(&lines);
        view.setUniformItemSizes(true);
        view.show();
        std::printf("read-only QListView of the lines: %lld ms\n", msFor([&] {
                        lines.setStringList(text.split(QStringLiteral("\r\n")));
                        view.repaint();
                    }));
    }
    return 0;
}
