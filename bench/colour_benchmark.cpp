// How close the 256-colour reduction comes to the true-colour picture, and how long it takes with
// the mips, beside pngquant without dithering, on pictures softened to about 17,000 colours as a
// skin author's true-colour work is.
//
//   build/bench/colour_benchmark [FOLDER...]
//
// It paints 24 skin-like pictures of 256x256 of its own. Each FOLDER adds its 256x256 PNG files
// (such as `quorrel-int --pictures` writes from the game's packages), softened the same way.
// pngquant, where installed, runs as `pngquant --nofs --force --output OUT 256 IN`; its time is
// that of the whole process, reading and writing PNG included. Times are the median of five runs,
// on one thread, by the wall clock and in processor time, which other work on a shared machine
// changes less. PSNR is over red, green and blue, of mip 0. The target: a mean of 44 dB and 20 ms
// a picture, mips included.
#include "SkinPictures.h"
#include "formats/ColourReduction.h"
#include "formats/Mips.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <numeric>
#include <vector>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif

using namespace quorrel;
using namespace skinpictures;

namespace {

constexpr int kPainted = 24;
constexpr int kRuns = 5; // each picture's time is the median of these

std::vector<Rgb> fromImage(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    std::vector<Rgb> pixels(std::size_t(rgb.width()) * std::size_t(rgb.height()));
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* line = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x)
            pixels[y * rgb.width() + x] = {float(line[3 * x]), float(line[3 * x + 1]),
                                           float(line[3 * x + 2])};
    }
    return pixels;
}

// Over red, green and blue.
double psnr(const Picture& original, const QByteArray& rgba) {
    double squares = 0;
    for (qsizetype i = 0; i < original.rgba.size(); i += 4) {
        for (int c = 0; c < 3; ++c) {
            const double d = double(quint8(original.rgba[i + c])) - double(quint8(rgba[i + c]));
            squares += d * d;
        }
    }
    const double mse = squares / (double(original.rgba.size()) / 4 * 3);
    return mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
}

QByteArray expand(const IndexedPicture& indexed) {
    QByteArray rgba(indexed.indices.size() * 4, '\0');
    for (qsizetype i = 0; i < indexed.indices.size(); ++i) {
        const Colour& c = indexed.palette[quint8(indexed.indices[i])];
        for (int k = 0; k < 4; ++k)
            rgba[4 * i + k] = char(c[k]);
    }
    return rgba;
}

struct Result {
    double db = 0;
    double ms = 0;  // by the wall clock
    double cpu = 0; // the processor time it used, in ms; what other work on the machine leaves
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The processor time of this process and of the children it has waited for, in ms.
std::pair<double, double> processorMs() {
#ifdef Q_OS_UNIX
    const auto ms = [](int who) {
        rusage usage{};
        getrusage(who, &usage);
        return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
               double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    };
    return {ms(RUSAGE_SELF), ms(RUSAGE_CHILDREN)};
#else
    return {0, 0};
#endif
}

Result ours(const Picture& picture) {
    std::vector<double> wall, cpu;
    IndexedPicture reduced;
    for (int run = 0; run < kRuns; ++run) {
        const double before = processorMs().first;
        QElapsedTimer timer;
        timer.start();
        reduced = reduceColours(picture, false);
        const QList<IndexedPicture> mips = makeMips(reduced, false);
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(processorMs().first - before);
        if (mips.size() != 9 || reduced.palette.size() > 256)
            std::fprintf(stderr, "wrong mips or palette\n");
    }
    return {psnr(picture, expand(reduced)), median(wall), median(cpu)};
}

Result pngquant(const QString& program, const QTemporaryDir& folder, const Picture& picture) {
    const QString in = folder.filePath(QStringLiteral("in.png"));
    const QString out = folder.filePath(QStringLiteral("out.png"));
    QImage(reinterpret_cast<const uchar*>(picture.rgba.constData()), kSide, kSide,
           QImage::Format_RGBA8888)
        .save(in);
    std::vector<double> wall, cpu;
    for (int run = 0; run < kRuns; ++run) {
        const double before = processorMs().second;
        QElapsedTimer timer;
        timer.start();
        QProcess::execute(program, {QStringLiteral("--nofs"), QStringLiteral("--force"),
                                    QStringLiteral("--output"), out, QStringLiteral("256"), in});
        wall.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpu.push_back(processorMs().second - before);
    }
    const QImage back = QImage(out).convertToFormat(QImage::Format_RGBA8888);
    const double db =
        back.size() != QSize(kSide, kSide)
            ? 0
            : psnr(picture,
                   QByteArray(reinterpret_cast<const char*>(back.constBits()), kSide * kSide * 4));
    return {db, median(wall), median(cpu)};
}

struct Row {
    QString name;
    int colours;
    Result ours, theirs;
};

void summary(const char* who, const std::vector<Result>& results) {
    std::vector<double> db, ms, cpu;
    for (const Result& r : results) {
        db.push_back(r.db);
        ms.push_back(r.ms);
        cpu.push_back(r.cpu);
    }
    const auto mean = [](const std::vector<double>& v) {
        return std::accumulate(v.begin(), v.end(), 0.0) / double(v.size());
    };
    std::printf("%-9s dB mean %5.2f worst %5.2f | ms mean %6.2f median %6.2f worst %6.2f | "
                "cpu ms mean %6.2f median %6.2f worst %6.2f\n",
                who, mean(db), *std::min_element(db.begin(), db.end()), mean(ms), median(ms),
                *std::max_element(ms.begin(), ms.end()), mean(cpu), median(cpu),
                *std::max_element(cpu.begin(), cpu.end()));
}

void report(const char* title, const std::vector<Row>& rows, bool withPngquant) {
    if (rows.empty())
        return;
    std::printf("\n%s\n%-24s %7s %8s %7s %7s", title, "picture", "colours", "ours dB", "ms",
                "cpu ms");
    std::printf(withPngquant ? " %8s %7s %7s\n" : "\n", "pq dB", "ms", "cpu ms");
    std::vector<Result> ourResults, theirResults;
    for (const Row& row : rows) {
        std::printf("%-24s %7d %8.2f %7.2f %7.2f", qPrintable(row.name.left(24)), row.colours,
                    row.ours.db, row.ours.ms, row.ours.cpu);
        if (withPngquant)
            std::printf(" %8.2f %7.2f %7.2f", row.theirs.db, row.theirs.ms, row.theirs.cpu);
        std::printf("\n");
        ourResults.push_back(row.ours);
        theirResults.push_back(row.theirs);
    }
    summary("ours", ourResults);
    if (withPngquant)
        summary("pngquant", theirResults);
}

} // namespace

int main(int argc, char* argv[]) {
    const QString program = QStandardPaths::findExecutable(QStringLiteral("pngquant"));
    if (program.isEmpty())
        std::printf("pngquant is not installed: only our own figures follow\n");
    QTemporaryDir folder;

    const auto measure = [&](const QString& name, const Picture& picture) {
        Row row{name, countColours(picture), ours(picture), {}};
        if (!program.isEmpty())
            row.theirs = pngquant(program, folder, picture);
        return row;
    };

    std::vector<Picture> pictures;
    for (int n = 0; n < kPainted; ++n)
        pictures.push_back(softenToTarget(paint(n), quint64(n)));
    // The first reduction in a process also pays for the memory it first takes.
    makeMips(reduceColours(pictures.front(), false), false);
    std::vector<Row> painted;
    for (int n = 0; n < kPainted; ++n)
        painted.push_back(measure(QStringLiteral("painted %1").arg(n), pictures[n]));
    report("Painted skin-like pictures", painted, !program.isEmpty());

    std::vector<Row> real;
    for (int a = 1; a < argc; ++a) {
        QDirIterator files(QString::fromLocal8Bit(argv[a]), {QStringLiteral("*.png")}, QDir::Files,
                           QDirIterator::Subdirectories);
        QStringList paths;
        while (files.hasNext())
            paths.append(files.next());
        paths.sort();
        for (const QString& path : paths) {
            const QImage image(path);
            if (image.size() != QSize(kSide, kSide))
                continue;
            const Picture picture = softenToTarget(fromImage(image), quint64(real.size()));
            const QString name = QFileInfo(path).completeBaseName();
            const int colours = countColours(picture);
            if (colours < kColoursAfter * 9 / 10) {
                std::printf("%s left out: softened, it holds only %d colours\n", qPrintable(name),
                            colours);
                continue;
            }
            real.push_back(measure(name, picture));
        }
    }
    report("Pictures from the folders", real, !program.isEmpty());
    return 0;
}
