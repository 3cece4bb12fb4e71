#include "PackageBuilder.h"
#include "TestFiles.h"

#include "base/Failure.h"
#include "formats/Mesh.h"
#include "formats/Package.h"

using namespace quorrel;

namespace {

// One face of three wedges over vertices 0-2 after one special vertex, two frames of four.
testpkg::Mesh triangleMesh() {
    using testpkg::packed;
    return {.vertices = {0, packed(1, 2, 3), packed(4, 5, 6), packed(7, 8, 9), 0,
                         packed(-1, 0, 511), packed(-1024, 1023, -512), 0},
            .verticesPerFrame = 4,
            .frameCount = 2,
            .sequences = {{"Walk", 0}, {"Breath1", 1}},
            .faces = {{0, 1, 2, 1}},
            .wedges = {{0, 0, 0}, {1, 128, 64}, {2, 255, 32}},
            .materials = {{0, 0}, {2 | 256, 3}},
            .specialVertices = 1};
}

QByteArray meshPackage(const testpkg::Mesh& mesh, quint16 version = 69,
                       const QByteArray& className = "LodMesh", qsizetype cut = 0) {
    return testpkg::realPackage({{"Skin", className, "Engine",
                                  [=](const testpkg::Refs& refs) {
                                      return testpkg::meshData(mesh, refs, version).chopped(cut);
                                  }}},
                                version);
}

} // namespace

class TestFormats : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void failsCleanly_data();
    void failsCleanly();
    void readsMeshes_data();
    void readsMeshes();
    void refusesDamage_data();
    void refusesDamage();
};

void TestFormats::failsCleanly_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray good = testpkg::realPackage({{"Tigr1"}, {"Tigr2"}});
    auto patched = [&](qsizetype at, quint32 value) {
        QByteArray bytes = good;
        qToLittleEndian(value, bytes.data() + at);
        return bytes;
    };
    QTest::newRow("no signature") << QByteArray("\xC1\x83\x2A", 3) << "signature";
    QTest::newRow("name count beyond the file") << patched(12, 0x7FFFFFFF) << "name count";
    QTest::newRow("negative export count") << patched(20, 0xFFFFFFFF) << "negative";
    QTest::newRow("names past the end") << patched(16, 0x7FFFFFF0) << "past the end";
    QTest::newRow("generations beyond the header") << patched(52, 1000) << "generation count";
    QTest::newRow("name table cut") << good.left(500) << "a name at byte 495 runs past the end";
    QByteArray sixBytes = good;
    sixBytes.replace(64, 6, "\x7F\xFF\xFF\xFF\xFF\x01");
    QTest::newRow("compact index of six bytes") << sixBytes << "longer than five bytes";
    // Export 0 starts with its class (import 1, written as -2: 0x82), then super and outer, 0.
    QByteArray badClass = good;
    badClass[good.indexOf(QByteArray("\x82\0\0\0\0\0", 6))] = 0x3F;
    QTest::newRow("export class out of range") << badClass << "export 0 refers to object 63";
}

// Catches a read outside the buffer, a huge allocation from a hostile count, or damage let pass.
void TestFormats::failsCleanly() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    try {
        readPackageTables(bytes);
        QFAIL("damage let pass");
    } catch (const Failure& failure) {
        QCOMPARE(failure.kind(), Failure::Kind::Damaged);
        QVERIFY2(failure.text().contains(reason), qPrintable(failure.text()));
    }
}

void TestFormats::readsMeshes_data() {
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<int>("frame");
    QTest::addColumn<QList<float>>("corner"); // where the second corner is placed
    testpkg::Mesh mesh = triangleMesh();
    const QList<float> extremes{-1024, 1023, -512};
    // clang-format off
    QTest::newRow("version 61: Breath1 over the first sequence; signs of packed vertices")
        << meshPackage(mesh, 61) << 1 << extremes;
    mesh.sequences = {{"Breath1", 0}, {"breath3", 1}};
    QTest::newRow("version 65: Breath3 first") << meshPackage(mesh, 65) << 1 << extremes;
    mesh.sequences = {{"Run", 0}, {"Walk", 1}};
    mesh.origin = {1, 2, 3};
    mesh.scale = {2, 3, 4}; // (4, 5, 6) becomes (6, 9, 12)
    mesh.rotation = {16384, 16384, 0};
    QTest::newRow("version 69: the first sequence; origin, scale, pitch, yaw") << meshPackage(mesh)
        << 0 << QList<float>{-9, -12, 6};
    mesh.rotation = {16384, 0, 16384};
    QTest::newRow("pitch and roll") << meshPackage(mesh) << 0 << QList<float>{9, 12, 6};
    mesh.rotation = {0, 16384, 16384};
    QTest::newRow("yaw and roll") << meshPackage(mesh) << 0 << QList<float>{-12, 6, -9};
    mesh.rotation = {16384, 16384, 16384};
    QTest::newRow("all three") << meshPackage(mesh) << 0 << QList<float>{-12, 9, 6};
    // clang-format on
}

// Catches a misread field or version, a wrong frame or sequence, misplaced or unpacked vertices.
void TestFormats::readsMeshes() {
    QFETCH(QByteArray, package);
    QFETCH(int, frame);
    QFETCH(QList<float>, corner);
    const Mesh mesh = readMesh(package, readPackageTables(package), 0);
    QCOMPARE(mesh.frame, frame);
    const QList<MeshTriangle> faces = meshTriangles(mesh);
    QCOMPARE(faces.size(), 1);
    const MeshPoint& point = faces[0].corners[1];
    QCOMPARE((QList<float>{point.x, point.y, point.z}), corner);
    QCOMPARE((QList<float>(faces[0].uv.begin(), faces[0].uv.end())),
             (QList<float>{0, 0, 0.5f, 0.25f, 255 / 256.0f, 0.125f}));
    QVERIFY(faces[0].slot == 3 && faces[0].masked && faces[0].twoSided);
}

void TestFormats::refusesDamage_data() {
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<QString>("reason");
    using M = testpkg::Mesh;
    const M good = triangleMesh();
    auto with = [&](auto change) {
        M mesh = good;
        change(mesh);
        return meshPackage(mesh);
    };
    // clang-format off
    QTest::newRow("runs past its export") << meshPackage(good, 69, "LodMesh", 3) << "the old frame";
    QTest::newRow("count beyond the bytes left") << meshPackage(good, 69, "LodMesh", 40)
        << "the material count 2 at byte";
    QTest::newRow("wedge beyond") << with([](M& m) { m.faces[0][2] = 3; }) << "uses wedge 3 of 3";
    QTest::newRow("material beyond") << with([](M& m) { m.faces[0][3] = 2; }) << "material 2 of 2";
    QTest::newRow("vertex out of range") << with([](M& m) { m.wedges[2][0] = 3; })
        << "frame 1 needs vertex 8, but the mesh has 8";
    QTest::newRow("frame beyond the frame count") << with([](M& m) { m.frameCount = 1; })
        << "the sequence Breath1 starts at frame 1, but the mesh has 1 frames";
    QTest::newRow("a plain Mesh") << meshPackage(good, 69, "Mesh") << "a plain Mesh";
    QTest::newRow("version 70") << meshPackage(good, 70) << "versions 61 to 69, not 70";
    // clang-format on
}

// Catches damage let pass, read past, or reported without the mesh and the reason.
void TestFormats::refusesDamage() {
    QFETCH(QByteArray, package);
    QFETCH(QString, reason);
    try {
        readMesh(package, readPackageTables(package), 0);
        QFAIL("damage let pass");
    } catch (const Failure& failure) {
        QCOMPARE(failure.kind(), Failure::Kind::Damaged);
        QVERIFY2(failure.text().startsWith(QStringLiteral("Skin: ")) &&
                     failure.text().contains(reason),
                 qPrintable(failure.text()));
    }
}

QTEST_GUILESS_MAIN(TestFormats)
#include "tst_formats.moc"
