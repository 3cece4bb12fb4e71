// How long a pictures folder takes to open in the window until its skin is on the model, and how
// long a picture saved again takes to show on the model.
//
//   DISPLAY=... build/bench/folder_benchmark FOLDER      (bench/run.sh runs it under Xvfb)
//
// It writes 20 of the benchmarks' skin-like true-colour PNGs of 256x256 into
// FOLDER/Textures/BenchSkins_Tigr, and a model of 1,000 faces into FOLDER/System, where the game
// view looks for it. With the game view shown, it opens the folder and waits until the model on the
// screen wears the skin (target 1 s); then it saves Tigr1.png 20 times, another painting leaning
// to red or blue in turn, in place or by a rename over it as paint programs do, each timed from the
// save until the screen shows it (target 500 ms).
#include "PackageBuilder.h"
#include "SkinPictures.h"

#include "formats/PictureFile.h"
#include "window/Form1.h"
#include "workflows/MessageBoxSeam.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QSaveFile>
#include <QScreen>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>

namespace {

constexpr int kChanges = 20;

class PrintingMessageBox : public quorrel::MessageBoxSeam {
public:
    void show(const QString& text, const QString&, Buttons, Icon) override {
        std::fprintf(stderr, "message box: %s\n", qPrintable(text));
    }
};

// Painting `number` of the benchmarks' skins, softened to about 17,000 colours, leaning to `tint`
// when one is given, so the screen tells the pictures apart.
QImage skin(int number, std::optional<skinpictures::Rgb> tint = std::nullopt) {
    std::vector<skinpictures::Rgb> pixels = skinpictures::paint(number);
    for (skinpictures::Rgb& pixel : pixels) {
        for (int c = 0; tint && c < 3; ++c)
            pixel[c] = 0.4f * pixel[c] + 0.6f * 255 * (*tint)[c]; // painted in 0-255
    }
    return quorrel::imageOf(skinpictures::softenToTarget(pixels, quint64(number)))
        .convertToFormat(QImage::Format_RGB888);
}

constexpr skinpictures::Rgb kRed{0.85f, 0.2f, 0.15f}, kBlue{0.15f, 0.25f, 0.85f};

// A tube standing on the model's vertical axis, 20 rings of 25 quads, every face in skin slot 0:
// turning, it always covers the middle of the view.
QByteArray tubeModel() {
    const int rings = 20, segments = 25;
    testpkg::Mesh tube;
    for (int r = 0; r <= rings; ++r) {
        for (int s = 0; s <= segments; ++s) {
            const double a = 2 * std::numbers::pi * s / segments;
            tube.vertices << testpkg::packed(int(std::lround(60 * std::cos(a))),
                                             int(std::lround(60 * std::sin(a))), 100 - 10 * r);
            tube.wedges.append({quint16(tube.vertices.size() - 1), quint16(255 * s / segments),
                                quint16(255 * r / rings)});
        }
    }
    tube.verticesPerFrame = qint32(tube.vertices.size());
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            const auto at = [&](int ring, int segment) {
                return quint16(ring * (segments + 1) + segment);
            };
            tube.faces.append({at(r, s), at(r + 1, s), at(r + 1, s + 1), 0});
            tube.faces.append({at(r, s), at(r + 1, s + 1), at(r, s + 1), 0});
        }
    }
    tube.materials = {{0, 0}};
    return testpkg::realPackage({{"Bench", "LodMesh", "Engine", [tube](const testpkg::Refs& refs) {
                                      return testpkg::meshData(tube, refs);
                                  }}});
}

// The colour the screen shows in the middle of the model: 'r' reddish, 'b' bluish, '?' else.
char shownColour(QWidget* model) {
    const QPoint middle = model->mapTo(model->window(), model->rect().center());
    const QImage pixel = model->screen()
                             ->grabWindow(model->window()->winId(), middle.x(), middle.y(), 1, 1)
                             .toImage();
    const QColor c = pixel.pixelColor(0, 0);
    return c.red() > c.blue() + 30 ? 'r' : c.blue() > c.red() + 30 ? 'b' : '?';
}

// Milliseconds until the screen shows `colour` on the model; -1 after 5 s.
qint64 untilShown(QWidget* model, char colour, const QElapsedTimer& since) {
    while (shownColour(model) != colour) {
        if (since.elapsed() > 5000)
            return -1;
        QTest::qWait(2);
    }
    return since.elapsed();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: folder_benchmark FOLDER\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const QString pictures = root.filePath(QStringLiteral("Textures/BenchSkins_Tigr"));
    const QString system = root.filePath(QStringLiteral("System"));
    QFile model(system + QStringLiteral("/Bench.u"));
    if (!QDir().mkpath(pictures) || !QDir().mkpath(system) || !model.open(QIODevice::WriteOnly) ||
        model.write(tubeModel()) < 0) {
        std::fprintf(stderr, "folder_benchmark: cannot write into %s\n", argv[1]);
        return 1;
    }
    model.close();
    const QStringList names{"Tigr1",    "Tigr2",    "Tigr3",    "Tigr4Ann", "Tigr5Ann",
                            "Tigr4Bob", "Tigr5Bob", "Tigr4Cid", "Tigr5Cid", "Tigr1T_0",
                            "Tigr1T_1", "Tigr1T_2", "Tigr1T_3", "Zebr1",    "Zebr2",
                            "Zebr3",    "Zebr4Dan", "Zebr5Dan", "Zebr1T_0", "Zebr1T_1"};
    for (int i = 0; i < names.size(); ++i) {
        if (!skin(i + 1, i == 0 ? std::optional(kRed) : std::nullopt)
                 .save(pictures + u'/' + names[i] + QStringLiteral(".png"))) {
            std::fprintf(stderr, "folder_benchmark: cannot write the pictures\n");
            return 1;
        }
    }
    // Tigr1 as the author saves it again and again, blue and red in turn.
    QList<QByteArray> saves;
    for (int i = 0; i < kChanges; ++i) {
        QBuffer buffer(&saves.emplace_back());
        buffer.open(QIODevice::WriteOnly);
        skin(100 + i, i % 2 ? kRed : kBlue).save(&buffer, "PNG");
    }

    PrintingMessageBox box;
    quorrel::Form1 form({nullptr, &box, std::nullopt});
    form.show();
    form.findChild<QAction*>(QStringLiteral("gameViewAction"))->trigger();
    auto* view = form.findChild<QWidget*>(QStringLiteral("GameView"));
    if (!QTest::qWaitForWindowExposed(view)) {
        std::fprintf(stderr, "folder_benchmark: the game view did not show\n");
        return 1;
    }
    QTest::qWait(200);
    auto* shown = view->findChild<QWidget*>(QStringLiteral("model"));
    QElapsedTimer timer;
    timer.start();
    form.openPackage(pictures);
    const qint64 openMs = untilShown(shown, 'r', timer);
    std::printf("open_folder_ms %lld\n", openMs);

    const QString tigr1 = pictures + QStringLiteral("/Tigr1.png");
    QList<qint64> changes;
    for (int i = 0; i < kChanges; ++i) {
        const char colour = i % 2 ? 'r' : 'b';
        const QByteArray& png = saves[i];
        QTest::qWait(300); // the author paints a while
        if (i % 2) {       // a new file renamed over the old
            QSaveFile file(tigr1);
            if (!file.open(QIODevice::WriteOnly) || file.write(png) < 0 || !file.commit())
                return 1;
        } else { // written over in place
            QFile file(tigr1);
            if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(png) < 0)
                return 1;
        }
        timer.restart();
        changes << untilShown(shown, colour, timer);
    }
    std::sort(changes.begin(), changes.end());
    const bool missed = changes.first() < 0; // -1: never shown
    std::printf("change_median_ms %lld\nchange_worst_ms %lld\n", changes[changes.size() / 2],
                missed ? -1 : changes.last());
    return openMs < 0 || missed ? 1 : 0;
}
