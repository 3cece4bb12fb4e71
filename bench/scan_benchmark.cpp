// How long ParseFile takes against a plain read of the same file.
//
//   build/bench/scan_benchmark [--benchmark_filter=...]
//
// The packages are generated once into a temporary folder; every run reads them from the page
// cache, so the comparison is the scan's own work against the cost of getting the bytes.
#include "core/GeneratorState.h"
#include "core/PackageScan.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kMiB = 1024 * 1024;

QByteArray nameEntry(const QByteArray& name) {
    QByteArray entry = name;
    entry.append("\x00\x10\x00\x07\x00", 5);
    entry.append(char(name.size() + 1)); // the next name's length byte; close enough
    return entry;
}

// A name table of a few hundred skin names, then random binary data up to `size`, with the stop
// marker as its last bytes but one. The data holds no stop marker of its own; unless
// `keepNameEnds`, it holds no name-end marker either, so the walk crosses it without taking a name.
// Random data has an accidental name-end about every 16 MiB, each making one huge "name".
QByteArray bigPackage(qsizetype size, bool keepNameEnds) {
    QByteArray bytes(64, '\x01');
    bytes.append('\x05');
    bytes += nameEntry("None") + nameEntry("Mesh_Skin");
    for (int i = 0; i < 500; ++i)
        bytes += nameEntry("Skin" + QByteArray::number(i) + "4Face");
    QRandomGenerator random(64);
    const qsizetype start = bytes.size();
    bytes.resize(size - 3);
    random.fillRange(reinterpret_cast<quint32*>(bytes.data() + start),
                     (bytes.size() - start) / qsizetype(sizeof(quint32)));
    for (qsizetype i = start; i + 1 < bytes.size(); ++i) {
        if (bytes[i] == '\x40' && bytes[i + 1] == '\x04')
            bytes[i + 1] = '\x05';
        if (!keepNameEnds && i + 3 < bytes.size() && bytes[i] == 0 && bytes[i + 1] == '\x10' &&
            bytes[i + 3] == '\x07')
            bytes[i + 3] = '\x08';
    }
    return bytes + QByteArray("\x40\x04\x00", 3);
}

// About a million short names and nothing else.
QByteArray nameHeavyPackage(int count) {
    QByteArray bytes(64, '\x01');
    bytes.append('\x05');
    bytes += nameEntry("None") + nameEntry("Mesh_Skin");
    for (int i = 0; i < count; ++i)
        bytes += nameEntry("P" + QByteArray::number(qint64(i) * 7919 % count, 36));
    return bytes + QByteArray("\x40\x04\x00", 3);
}

struct Files {
    QTemporaryDir dir;
    QString big = dir.filePath(QStringLiteral("Big_Skin.utx"));
    QString bigNoisy = dir.filePath(QStringLiteral("Big_Noisy.utx"));
    QString nameHeavy = dir.filePath(QStringLiteral("Many_Names.utx"));

    Files() {
        write(big, bigPackage(64 * kMiB, false));
        write(bigNoisy, bigPackage(64 * kMiB, true));
        write(nameHeavy, nameHeavyPackage(1'000'000));
    }
    static void write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }
};

Files& files() {
    static Files instance;
    return instance;
}

void readWholeFile(benchmark::State& state, const QString& path) {
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
            state.SkipWithError("cannot open");
        QByteArray bytes(file.size(), Qt::Uninitialized);
        benchmark::DoNotOptimize(file.read(bytes.data(), bytes.size()));
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

void parseFile(benchmark::State& state, const QString& path) {
    for (auto _ : state) {
        quorrel::GeneratorState generator;
        generator.setPackageName(QStringLiteral("Mesh_Skin"));
        quorrel::ParseFile(generator, path);
        benchmark::DoNotOptimize(generator.pictureCount());
    }
    state.SetBytesProcessed(state.iterations() * QFile(path).size());
}

void BM_Read64MiB(benchmark::State& state) {
    readWholeFile(state, files().big);
}
void BM_ParseFile64MiB(benchmark::State& state) {
    parseFile(state, files().big);
}
void BM_ParseFile64MiBNoisy(benchmark::State& state) {
    parseFile(state, files().bigNoisy);
}
void BM_ReadNameHeavy(benchmark::State& state) {
    readWholeFile(state, files().nameHeavy);
}
void BM_ParseFileNameHeavy(benchmark::State& state) {
    parseFile(state, files().nameHeavy);
}

BENCHMARK(BM_Read64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseFile64MiB)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseFile64MiBNoisy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadNameHeavy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ParseFileNameHeavy)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
