// How long ParseFile takes against a plain read of the same file.
//
//   build/bench/scan_benchmark [--benchmark_filter=...]
//
// The packages are generated once into a temporary folder; every run reads them from the page
// cache, so the comparison is the scan's own work against the cost of getting the bytes.
#include "BenchPackages.h"
#include "base/Failure.h"
#include "workflows/GeneratorState.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr qsizetype kMiB = 1024 * 1024;

struct Files {
    QTemporaryDir dir;
    QString big = dir.filePath(QStringLiteral("Big_Skin.utx"));
    QString bigNoisy = dir.filePath(QStringLiteral("Big_Noisy.utx"));
    QString nameHeavy = dir.filePath(QStringLiteral("Many_Names.utx"));

    Files() {
        write(big, benchpkg::randomTailPackage(64 * kMiB, false));
        write(bigNoisy, benchpkg::randomTailPackage(64 * kMiB, true));
        write(nameHeavy, benchpkg::nameHeavyPackage(1'000'000));
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
        generator.setPackageName(QFileInfo(path).completeBaseName());
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
