#include "TestFiles.h"

#include "formats/Mesh.h"
#include "formats/Package.h"
#include "render/ModelPicture.h"
#include "rules/SkinSlots.h"

using namespace quorrel;

namespace {

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

class TestRender : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void draws_data();
    void draws();
    void realMeshes();
};

void TestRender::draws_data() {
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
void TestRender::draws() {
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
void TestRender::realMeshes() {
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

QTEST_GUILESS_MAIN(TestRender)
#include "tst_render.moc"
