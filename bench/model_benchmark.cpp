// How long the model view's work takes: one 256x256 frame of a 1,000-face model (target 5 ms),
// the game's Skaarj when ../shared/testdata is there, and finding a mesh in a System folder of
// 200 packages of 256 KiB each (target 300 ms, the files in the page cache).
//
//   build/bench/model_benchmark [--benchmark_filter=...]
#include "PackageBuilder.h"

#include "base/Files.h"
#include "formats/Mesh.h"
#include "game/MeshSearch.h"
#include "render/ModelPicture.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

namespace {

// A textured ball of 25 rings of 20 quads: 1,000 faces, some of them masked.
QList<quorrel::MeshTriangle> ball() {
    const int rings = 25, segments = 20;
    auto point = [&](int ring, int segment) {
        const double a = std::numbers::pi * ring / rings,
                     b = 2 * std::numbers::pi * segment / segments;
        return quorrel::MeshPoint{float(40 * std::sin(a) * std::cos(b)),
                                  float(40 * std::sin(a) * std::sin(b)), float(50 * std::cos(a))};
    };
    QList<quorrel::MeshTriangle> faces;
    for (int r = 0; r < rings; ++r) {
        for (int s = 0; s < segments; ++s) {
            const float u0 = float(s) / segments, u1 = float(s + 1) / segments;
            const float v0 = float(r) / rings, v1 = float(r + 1) / rings;
            const auto a = point(r, s), b = point(r, s + 1), c = point(r + 1, s + 1),
                       d = point(r + 1, s);
            const qint32 slot = r % 4;
            const bool masked = s % 5 == 0;
            faces << quorrel::MeshTriangle{{a, d, c}, {u0, v0, u0, v1, u1, v1}, slot, masked, false}
                  << quorrel::MeshTriangle{
                         {a, c, b}, {u0, v0, u1, v1, u1, v0}, slot, masked, false};
        }
    }
    return faces;
}

std::array<quorrel::Picture, 4> skins() {
    std::array<quorrel::Picture, 4> pictures;
    QRandomGenerator random(4);
    for (quorrel::Picture& picture : pictures) {
        picture = {256, 256, QByteArray(256 * 256 * 4, Qt::Uninitialized)};
        random.fillRange(reinterpret_cast<quint32*>(picture.rgba.data()), 256 * 256);
    }
    return pictures;
}

void draw(benchmark::State& state, const QList<quorrel::MeshTriangle>& faces) {
    const std::array<quorrel::Picture, 4> pictures = skins();
    double yaw = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(quorrel::drawModel(faces, pictures, 256, 256, yaw));
        yaw += 1;
    }
}

void BM_Draw1000Faces(benchmark::State& state) {
    draw(state, ball());
}

void BM_DrawSkaarj(benchmark::State& state) {
    const QString path = QStringLiteral(QUORREL_TESTDATA_DIR "/EpicCustomModels.u");
    if (!QFile::exists(path)) {
        state.SkipWithError("no EpicCustomModels.u beside the project");
        return;
    }
    const QByteArray bytes = quorrel::readWholeFile(path);
    const quorrel::PackageTables tables = quorrel::readPackageTables(bytes);
    for (qsizetype i = 0; i < tables.exports.size(); ++i) {
        if (tables.exports[i].objectName == QLatin1String("TSkM"))
            draw(state, quorrel::meshTriangles(quorrel::readMesh(bytes, tables, i)));
    }
}

// 200 packages of 100 textures and 256 KiB of data each; the mesh in the last by name.
struct SystemFolder {
    QTemporaryDir dir;
    SystemFolder() {
        for (int p = 0; p < 200; ++p) {
            QList<testpkg::Object> objects;
            for (int t = 0; t < 100; ++t)
                objects << testpkg::Object{"Tex" + QByteArray::number(p) + "x" +
                                           QByteArray::number(t)};
            objects.last().data = [](const testpkg::Refs&) { return QByteArray(256 * 1024, 'd'); };
            if (p == 199)
                objects << testpkg::Object{"Wanted", "LodMesh"};
            QFile file(dir.filePath(QStringLiteral("Pkg%1.u").arg(p, 3, 10, QLatin1Char('0'))));
            const QByteArray bytes = testpkg::realPackage(objects);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                qFatal("cannot write the System folder");
        }
    }
};

void BM_FindMeshIn200Packages(benchmark::State& state) {
    static SystemFolder folder;
    for (auto _ : state)
        benchmark::DoNotOptimize(quorrel::findMesh(u"wanted", {folder.dir.path()}));
}

BENCHMARK(BM_Draw1000Faces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawSkaarj)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindMeshIn200Packages)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
