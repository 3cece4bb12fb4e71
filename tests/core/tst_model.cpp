#include "PackageBuilder.h"
#include "TestFiles.h"

#include "core/Failure.h"
#include "core/Mesh.h"
#include "core/MeshSearch.h"
#include "core/ModelPicture.h"
#include "core/SkinSlots.h"

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

Picture solid(quint8 r, quint8 g, quint8 b, quint8 a = 255) {
    return {1, 1, QByteArray(1, char(r)).append(char(g)).append(char(b)).append(char(a))};
}

// A pixel by the channels it has: r, g, b, y(ellow), m(agenta), or . where nothing is drawn.
char colourAt(const Picture& picture, int x, int y) {
    const auto* p = reinterpret_cast<const uchar*>(picture.rgba.constData()) +
                    (qsizetype(y) * picture.width + x) * 4;
    if (p[3] == 0)
        return '.';
    const int key = (p[0] > 0 ? 4 : 0) | (p[1] > 0 ? 2 : 0) | (p[2] > 0 ? 1 : 0);
    return "?bgcrmy?"[key];
}

// Two faces over four corners (x, y, z each), seen from the front where they run clockwise.
QList<MeshTriangle> quad(std::array<float, 12> c, qint32 slot, bool masked = false,
                         bool twoSided = false) {
    const auto p = [&](int i) { return MeshPoint{c[3 * i], c[3 * i + 1], c[3 * i + 2]}; };
    return {{{p(0), p(1), p(2)}, {0, 0, 1, 0, 1, 1}, slot, masked, twoSided},
            {{p(0), p(2), p(3)}, {0, 0, 1, 1, 0, 1}, slot, masked, twoSided}};
}

// A rectangle across Y and Z at depth `x`, facing +X (the viewer at yaw 0) unless `back`.
QList<MeshTriangle> wall(float x, float half, qint32 slot, bool back = false, bool masked = false,
                         bool twoSided = false, float halfHeight = 0) {
    const float y = back ? -half : half, z = halfHeight > 0 ? halfHeight : half;
    return quad({x, y, z, x, -y, z, x, -y, -z, x, y, -z}, slot, masked, twoSided);
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
    void skins();
    void draws_data();
    void draws();
    void realMeshes();
    void findsMeshes();
};

void TestModel::readsMeshes_data() {
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
void TestModel::readsMeshes() {
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

void TestModel::refusesDamage_data() {
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
void TestModel::refusesDamage() {
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

void TestModel::slots_data() {
    QTest::addColumn<QString>("mesh");
    QTest::addColumn<QStringList>("choice"); // group, face, team
    QTest::addColumn<QStringList>("textures");
    QTest::addColumn<QString>("filled"); // slots 0-3, "-" when missing; "?" when guessed
    // clang-format off
    using L = QStringList;
    // clang-format off
    QTest::newRow("Commando: face, team; a missing team texture falls back") << "commando"
        << L{"cmdo", "blake", "1"} << L{"cmdo1", "cmdo2Blake", "cmdo3T_1", "cmdo4"}
        << "cmdo1 cmdo2Blake cmdo3T_1 cmdo4";
    QTest::newRow("TSkM: no face or team, the group in other case") << "TSkM" << L{"SKRJ", "", "-1"}
        << L{"skrj1", "Skrj2", "Skrj3", "Skrj4"} << "skrj1 Skrj2 Skrj3 Skrj4";
    QTest::newRow("Soldier: team in 0 and 1, face in 3") << "Soldier" << L{"Tig", "Bob", "0"}
        << L{"Tig1T_0", "Tig2T_0", "Tig3", "Tig4Bob", "Tig3T_0"} << "Tig1T_0 Tig2T_0 Tig3 Tig4Bob";
    QTest::newRow("FCommando: the team rule wins slot 0") << "FCommando" << L{"Fem", "Ann", "2"}
        << L{"Fem1", "Fem1T_2", "Fem2T_2", "Fem3", "Fem4Ann"} << "Fem1T_2 Fem2T_2 - Fem4Ann";
    QTest::newRow("Boss: every slot teamed, no face") << "Boss" << L{"Bos", "Xan", "3"}
        << L{"Bos1T_3", "Bos2", "Bos3T_3", "Bos4T_3", "Bos4Xan"} << "Bos1T_3 Bos2 Bos3T_3 Bos4T_3";
    QTest::newRow("Nali: the team texture instead of the skin") << "tnalimesh" << L{"nali", "", "1"}
        << L{"Nali", "T_nali_1"} << "T_nali_1 T_nali_1 T_nali_1 T_nali_1";
    QTest::newRow("cow: the skin everywhere but the pack; no team texture: the skin") << "TCowMesh"
        << L{"warcow", "", "2"} << L{"warcow", "cowpack"} << "warcow warcow cowpack warcow";
    QTest::newRow("guessed: face at its group's digit, team textures where there are") << "Xeno"
        << L{"Xeno", "zed", "0"} << L{"Xeno1", "Xeno1T_0", "Xeno2", "Xeno3Zed", "Xeno3", "Xeno3T_0"}
        << "Xeno1T_0 Xeno2 Xeno3Zed - ?";
    // clang-format on
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

// Catches a portrait, team texture or pack offered as a skin, or a skin group missed.
void TestModel::skins() {
    QCOMPARE(modelSkins(u"tcowmesh", {"COW-face", "warcow", "T_cow_0", "cowpack", "warcowface"}),
             QStringList{"warcow"});
    QCOMPARE(modelSkins(u"Soldier", {"Tigr1", "Tigr2", "Leop1", "Tigr4Bob"}),
             (QStringList{"Tigr", "Leop"}));
}

void TestModel::draws_data() {
    QTest::addColumn<QList<MeshTriangle>>("faces");
    QTest::addColumn<double>("yaw");
    QTest::addColumn<QString>("seen"); // 3 pixels left and right of the centre; the centre at 1/16
    // clang-format off
    // clang-format off
    QTest::newRow("facing the viewer") << wall(1, 1, 0) + wall(-1, 1, 1, true) << 0.0 << "rr.";
    QTest::newRow("turned half round") << wall(1, 1, 0) + wall(-1, 1, 1, true) << 180.0 << "gg.";
    QTest::newRow("turned towards its right: its left side shows")
        << quad({1, -1, 1, -1, -1, 1, -1, -1, -1, 1, -1, -1}, 1) << 90.0 << "gg.";
    QTest::newRow("the nearer face hides the farther, listed first")
        << wall(1, 0.5f, 1) + wall(-1, 1, 0) << 0.0 << "gg.";
    QTest::newRow("one-sided, not seen from behind") << wall(0, 1, 0, true) << 0.0 << "...";
    QTest::newRow("two-sided, seen behind") << wall(0, 1, 0, true, false, true) << 0.0 << "rr.";
    QTest::newRow("masked: alpha 0 shows what is behind")
        << wall(1, 0.5f, 2, false, true) + wall(-1, 1, 0) << 0.0 << "rr.";
    QTest::newRow("unmasked: alpha 0 drawn") << wall(1, 0.5f, 2) + wall(-1, 1, 0) << 0.0 << "bb.";
    QTest::newRow("a slot outside 0-3: the missing colour") << wall(0, 1, 7) << 0.0 << "mm.";
    // Near on the left, far on the right: U = 0.5 lies where the centre of the model does.
    QTest::newRow("perspective-correct")
        << quad({2, 2, 0.2f, -2, -2, 0.2f, -2, -2, -0.2f, 2, 2, -0.2f}, 3) << 0.0 << "rg.";
    QTest::newRow("fitted: a tall post at the front nearly fills the height")
        << wall(1, 0.5f, 0, false, false, false, 3) + wall(-1, 0.5f, 1, true, false, false, 3)
        << 0.0 << "rrr";
    // clang-format on
}

// Catches a wrong turn, no depth test, bad masking, sides or culling, affine texturing, a bad fit.
void TestModel::draws() {
    QFETCH(QList<MeshTriangle>, faces);
    QFETCH(double, yaw);
    QFETCH(QString, seen);
    const Picture halves{2, 1, QByteArray("\xFF\0\0\xFF\0\xFF\0\xFF", 8)}; // red, green
    const std::array<Picture, 4> skins{solid(255, 0, 0), solid(0, 255, 0), solid(0, 0, 255, 0),
                                       halves};
    const int size = 128;
    const Picture picture = drawModel(faces, skins, size, size, yaw);
    QCOMPARE(QString{colourAt(picture, size / 2 - 3, size / 2)} +
                 colourAt(picture, size / 2 + 3, size / 2) + colourAt(picture, size / 2, size / 16),
             seen);
    QCOMPARE(picture.rgba.left(size * 4), QByteArray(size * 4, '\0')); // nothing cut off at the top
}

// Catches a reader that fails on the game's models, or a slot's texture off its part of the model.
void TestModel::realMeshes() {
    const QString path = QStringLiteral(QUORREL_TESTDATA_DIR "/EpicCustomModels.u");
    if (!QFileInfo::exists(path))
        QSKIP("no EpicCustomModels.u in " QUORREL_TESTDATA_DIR "; built meshes only");
    const QByteArray bytes = testpkg::readFile(path);
    const PackageTables tables = readPackageTables(bytes);
    // The face green, the Nali's skin red, the cow's pack blue, every other texture yellow.
    const QStringList textures{"Skrj1", "Skrj2Face", "Skrj3", "Skrj4", "nali", "warcow", "cowpack"};
    const QHash<QString, Picture> colours{
        {"Skrj2Face", solid(0, 255, 0)}, {"nali", solid(255, 0, 0)}, {"cowpack", solid(0, 0, 255)}};
    QHash<QString, std::pair<QString, char>> expected{
        {"TSkM", {"Skrj", 'g'}}, {"tnalimesh", {"nali", 'r'}}, {"TCowMesh", {"warcow", 'b'}}};
    for (qsizetype i = 0; i < tables.exports.size(); ++i) {
        if (tables.exports[i].className != QLatin1String("LodMesh"))
            continue;
        const Mesh mesh = readMesh(bytes, tables, i);
        const auto [group, colour] = expected.take(mesh.name);
        const SkinSlots filled = skinSlots(mesh.name, {group, "Face", -1}, textures);
        std::array<Picture, 4> skins;
        for (int s = 0; s < 4; ++s)
            skins[s] = colours.value(filled.slot[s].texture, solid(255, 255, 0));
        const Picture picture = drawModel(meshTriangles(mesh), skins, 128, 128, 0);
        qsizetype top = 0; // the first pixel drawn, row by row: the top of the silhouette
        while (picture.rgba[top * 4 + 3] == 0)
            ++top;
        QVERIFY2(colourAt(picture, top % 128, top / 128 + 2) == colour, qPrintable(mesh.name));
    }
    QVERIFY(expected.isEmpty()); // every mesh read
}

// Catches a missed folder, package or stock home, a texture taken for a mesh, or an unnamed place.
void TestModel::findsMeshes() {
    QTemporaryDir dir;
    auto package = [](const QByteArray& mesh, const QByteArray& className) { // past 4 KiB
        const auto big = [](const testpkg::Refs&) { return QByteArray(8000, 'x'); };
        return testpkg::realPackage({{"Big", "Texture", "Engine", big}, {mesh, className}});
    };
    const QString skin = testpkg::writeFile(dir, "UT/Textures/FooSkins_Red.utx", "");
    testpkg::writeFile(dir, "UT/system/A.u", package("Foo", "Texture"));
    testpkg::writeFile(dir, "UT/system/B.u", "not a package");
    testpkg::writeFile(dir, "UT/system/C.u", package("foo", "LodMesh"));
    testpkg::writeFile(dir, "Game/System/Aaa.u", package("Soldier", "LodMesh"));
    testpkg::writeFile(dir, "Game/System/botpack.U", package("soldier", "LodMesh"));
    const QStringList folders = meshFolders(skin, {dir.filePath("Gone"), dir.filePath("Game")});
    QCOMPARE(folders, (QStringList{dir.filePath("UT/system"), dir.filePath("Gone"),
                                   dir.filePath("Game/System")}));
    QCOMPARE(skinMeshName("soldierskins"), "Soldier");
    const FoundMesh foo = findMesh(skinMeshName("FooSkins_Red"), folders);
    QCOMPARE(foo.file, dir.filePath("UT/system/C.u"));
    QCOMPARE(foo.tables.exports.at(foo.exportIndex).objectName, "foo");
    QCOMPARE(findMesh(u"Soldier", folders).file, dir.filePath("Game/System/botpack.U"));
    QString failure; // of the right kind, naming every folder
    try {
        findMesh(u"Boss", folders);
    } catch (const Failure& f) {
        failure = f.kind() == Failure::Kind::NotFound ? f.text() : QString();
    }
    QCOMPARE(failure, "no mesh Boss in the .u packages of " +
                          QDir::toNativeSeparators(folders[0] + ", " + folders[1] +
                                                   " (no such folder), " + folders[2]));
}

QTEST_GUILESS_MAIN(TestModel)
#include "tst_model.moc"
