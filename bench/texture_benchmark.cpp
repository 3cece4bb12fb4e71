// How long the game view's pictures take on a package of 1,024 textures of 256x256 (64 Mpixel,
// P8 with mips): reading what each texture is, decoding every thumbnail, decoding at full size.
//
//   build/bench/texture_benchmark [--benchmark_filter=...]
//
// The view's target: every thumbnail within 1 s, full size only on demand.
#include "BenchPackages.h"
#include "formats/Package.h"
#include "formats/Texture.h"

#include <benchmark/benchmark.h>

namespace {

const QByteArray& package() {
    static const QByteArray bytes = benchpkg::texturePackage(1024, 256);
    return bytes;
}

// The tables and what each texture is, as the view reads them on opening.
void BM_ReadTextures(benchmark::State& state) {
    package(); // built once, before any timing
    for (auto _ : state) {
        const quorrel::PackageTables tables = quorrel::readPackageTables(package());
        benchmark::DoNotOptimize(quorrel::readTextures(package(), tables));
    }
    state.counters["textures"] = 1024;
    state.counters["MiB"] = double(package().size()) / (1024 * 1024);
}

// That, then every texture decoded at the thumbnail side given.
void BM_Thumbnails(benchmark::State& state) {
    const int side = int(state.range(0));
    for (auto _ : state) {
        const quorrel::PackageTables tables = quorrel::readPackageTables(package());
        for (const quorrel::TextureInfo& texture : quorrel::readTextures(package(), tables))
            benchmark::DoNotOptimize(
                quorrel::decodeTexture(package(), tables, texture.exportIndex, side));
    }
}

// Every texture at full size: what decoding everything up front would cost.
void BM_AllFullSize(benchmark::State& state) {
    const quorrel::PackageTables tables = quorrel::readPackageTables(package());
    const QList<quorrel::TextureInfo> textures = quorrel::readTextures(package(), tables);
    for (auto _ : state) {
        for (const quorrel::TextureInfo& texture : textures)
            benchmark::DoNotOptimize(
                quorrel::decodeTexture(package(), tables, texture.exportIndex));
    }
    state.SetItemsProcessed(state.iterations() * textures.size() * 256 * 256);
}

// One texture at full size, as a click on its thumbnail asks for it.
void BM_OneFullSize(benchmark::State& state) {
    const quorrel::PackageTables tables = quorrel::readPackageTables(package());
    const qsizetype last = quorrel::readTextures(package(), tables).last().exportIndex;
    for (auto _ : state)
        benchmark::DoNotOptimize(quorrel::decodeTexture(package(), tables, last));
}

BENCHMARK(BM_ReadTextures)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Thumbnails)->Arg(64)->Arg(128)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_AllFullSize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OneFullSize)->Unit(benchmark::kMicrosecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
