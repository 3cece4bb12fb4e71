#include "PackageBuilder.h"
#include "TestFiles.h"

#include "core/Failure.h"
#include "core/Mesh.h"
#include "core/SkinMenu.h"
#include "core/SkinSlots.h"

using namespace quorrel;

namespace {

// One face of three wedges over vertices 0-2 after one special vertex, two frames of four.
testpkg::Mesh triangleMesh() {
    testpkg::Mesh mesh;
    using testpkg::packed;
    mesh.vertices = {0, packed(1, 2, 3),    packed(4, 5, 6),           packed(7, 8, 9),
                     0, packed(-1, 0, 511), packed(-1024, 1023, -512), 0};
    mesh.verticesPerFrame = 4;
    mesh.frameCount = 2;
    mesh.specialVertices = 1;
    mesh.sequences = {{"Walk", 0}, {"Breath1", 1}};
    mesh.faces = {{0, 1, 2, 1}};
    mesh.wedges = {{0, 0, 0}, {1, 128, 64}, {2, 255, 32}};
    mesh.materials = {{0, 0}, {2 | 256, 3}};
    return mesh;
}

QByteArray meshPackage(const testpkg::Mesh& mesh, quint16 version = 69,
                       const QByteArray& className = "LodMesh", qsizetype cut = 0) {
    return testpkg::realPackage({{"Skin", className, "Engine",
                                  [=](const testpkg::Refs& refs) {
                                      return testpkg::meshData(mesh, refs, version).chopped(cut);
                                  }}},
                                version);
}

Mesh readOnly(const QByteArray& package) {
    const PackageTables tables = readPackageTables(package);
    return readMesh(package, tables, 0);
}

} // namespace

class TestModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsMeshes_data();
    void readsMeshes();
    void refusesDamage_data();
    void refusesDamage();
    void slots_data();
    void slots();
};

void TestModel::readsMeshes_data() {
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<int>("frame");
    QTest::addColumn<QList<float>>("corner"); // where the second corner is placed
    testpkg::Mesh mesh = triangleMesh();
    QTest::newRow("version 61: Breath1 over the first sequence; signs of packed vertices")
        << meshPackage(mesh, 61) << 1 << QList<float>{-1024, 1023, -512};
    mesh.sequences = {{"Breath1", 0}, {"breath3", 1}};
    QTest::newRow("version 65: Breath3 first")
        << meshPackage(mesh, 65) << 1 << QList<float>{-1024, 1023, -512};
    mesh.sequences = {{"Run", 0}, {"Walk", 1}};
    mesh.origin = {1, 2, 3};
    mesh.scale = {2, 3, 4}; // (4, 5, 6) becomes (6, 9, 12)
    mesh.rotation = {16384, 16384, 0};
    QTest::newRow("version 69: the first sequence; origin, scale, pitch and yaw")
        << meshPackage(mesh) << 0 << QList<float>{-9, -12, 6};
    mesh.rotation = {16384, 0, 16384};
    QTest::newRow("pitch and roll") << meshPackage(mesh) << 0 << QList<float>{9, 12, 6};
    mesh.rotation = {0, 16384, 16384};
    QTest::newRow("yaw and roll") << meshPackage(mesh) << 0 << QList<float>{-12, 6, -9};
    mesh.rotation = {16384, 16384, 16384};
    QTest::newRow("all three") << meshPackage(mesh) << 0 << QList<float>{-12, 9, 6};
}

// Catches a misread field or version, a wrong frame or sequence, misplaced or unpacked vertices.
void TestModel::readsMeshes() {
    QFETCH(QByteArray, package);
    QFETCH(int, frame);
    QFETCH(QList<float>, corner);
    const Mesh mesh = readOnly(package);
    QCOMPARE(mesh.frame, frame);
    const QList<MeshTriangle> faces = meshTriangles(mesh);
    QCOMPARE(faces.size(), 1);
    const MeshPoint& point = faces[0].corners[1];
    QCOMPARE((QList<float>{point.x, point.y, point.z}), corner);
    QCOMPARE((QList<float>(faces[0].uv.begin(), faces[0].uv.end())),
             (QList<float>{0, 0, 0.5f, 0.25f, 255 / 256.0f, 0.125f}));
    QCOMPARE(faces[0].slot, 3);
    QVERIFY(faces[0].masked && faces[0].twoSided);
    QCOMPARE(meshSlots(mesh), QList<qint32>{3});
}

void TestModel::refusesDamage_data() {
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<QString>("reason");
    const testpkg::Mesh good = triangleMesh();
    auto with = [&](auto change) {
        testpkg::Mesh mesh = good;
        change(mesh);
        return meshPackage(mesh);
    };
    QTest::newRow("runs past its export")
        << meshPackage(good, 69, "LodMesh", 3) << "the old frame vertices at byte";
    QTest::newRow("count beyond the bytes left")
        << with([](testpkg::Mesh& m) { m.vertexCount = 100; }) << "the vertex count 100 at byte";
    QTest::newRow("wedge out of range")
        << with([](testpkg::Mesh& m) { m.faces[0][2] = 3; }) << "face 0 uses wedge 3 of 3";
    QTest::newRow("material out of range")
        << with([](testpkg::Mesh& m) { m.faces[0][3] = 2; }) << "face 0 uses material 2 of 2";
    QTest::newRow("vertex out of range") << with([](testpkg::Mesh& m) { m.wedges[2][0] = 3; })
                                         << "frame 1 needs vertex 8, but the mesh has 8";
    QTest::newRow("frame beyond the frame count")
        << with([](testpkg::Mesh& m) { m.frameCount = 1; })
        << "the sequence Breath1 starts at frame 1, but the mesh has 1 frames";
    QTest::newRow("a plain Mesh") << meshPackage(good, 69, "Mesh") << "a plain Mesh";
    QTest::newRow("version 70") << meshPackage(good, 70) << "versions 61 to 69, not 70";
}

// Catches damage let pass, read past, or reported without the mesh and the reason.
void TestModel::refusesDamage() {
    QFETCH(QByteArray, package);
    QFETCH(QString, reason);
    try {
        readOnly(package);
        QFAIL("damage let pass");
    } catch (const Failure& failure) {
        QCOMPARE(failure.kind(), Failure::Kind::Damaged);
        QVERIFY2(failure.text().startsWith(QStringLiteral("Skin: ")) &&
                     failure.text().contains(reason),
                 qPrintable(failure.text()));
    }
}

void TestModel::slots_data() {
    QTest::addColumn<QString>("mesh");
    QTest::addColumn<QStringList>("choice"); // group, face, team
    QTest::addColumn<QStringList>("textures");
    QTest::addColumn<QString>("filled"); // slots 0-3, "-" when missing; "?" when guessed
    QTest::newRow("Commando: face, team; a missing team texture falls back")
        << "commando" << QStringList{"cmdo", "blake", "1"}
        << QStringList{"cmdo1", "cmdo2Blake", "cmdo3T_1", "cmdo4"}
        << "cmdo1 cmdo2Blake cmdo3T_1 cmdo4";
    QTest::newRow("TSkM: no face, no team, the group in another case")
        << "TSkM" << QStringList{"SKRJ", "", "-1"}
        << QStringList{"skrj1", "Skrj2", "Skrj3", "Skrj4"} << "skrj1 Skrj2 Skrj3 Skrj4";
    QTest::newRow("Soldier: team in 0 and 1, face in 3")
        << "Soldier" << QStringList{"Tigr", "Bob", "0"}
        << QStringList{"Tigr1T_0", "Tigr2T_0", "Tigr3", "Tigr4Bob", "Tigr3T_0"}
        << "Tigr1T_0 Tigr2T_0 Tigr3 Tigr4Bob";
    QTest::newRow("FCommando: the team rule wins slot 0")
        << "FCommando" << QStringList{"Femc", "Ann", "2"}
        << QStringList{"Femc1", "Femc1T_2", "Femc2T_2", "Femc3", "Femc4Ann"}
        << "Femc1T_2 Femc2T_2 - Femc4Ann";
    QTest::newRow("Boss: every slot teamed, no face")
        << "Boss" << QStringList{"Boss", "Xan", "3"}
        << QStringList{"Boss1T_3", "Boss2", "Boss3T_3", "Boss4T_3", "Boss4Xan"}
        << "Boss1T_3 Boss2 Boss3T_3 Boss4T_3";
    QTest::newRow("Nali: the team texture instead of the skin")
        << "tnalimesh" << QStringList{"nali", "", "1"} << QStringList{"Nali", "T_nali_1"}
        << "T_nali_1 T_nali_1 T_nali_1 T_nali_1";
    QTest::newRow("cow: the skin everywhere but the pack; no team texture: the skin")
        << "TCowMesh" << QStringList{"warcow", "", "2"} << QStringList{"warcow", "cowpack"}
        << "warcow warcow cowpack warcow";
    QTest::newRow("guessed: face at its group's digit, team textures where there are")
        << "Xeno" << QStringList{"Xeno", "zed", "0"}
        << QStringList{"Xeno1", "Xeno1T_0", "Xeno2", "Xeno3Zed", "Xeno3", "Xeno3T_0"}
        << "Xeno1T_0 Xeno2 Xeno3Zed - ?";
}

// Catches a texture in the wrong slot, a fallback not taken, or a guess not said.
void TestModel::slots() {
    QFETCH(QString, mesh);
    QFETCH(QStringList, choice);
    QFETCH(QStringList, textures);
    QFETCH(QString, filled);
    const SkinSlots result = skinSlots(mesh, {choice[0], choice[1], choice[2].toInt()}, textures);
    QStringList names;
    for (const SkinSlot& slot : result.slot)
        names << (slot.missing() ? QStringLiteral("-") : slot.texture);
    if (result.guessed())
        names << QStringLiteral("?");
    QCOMPARE(names.join(u' '), filled);
}

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
