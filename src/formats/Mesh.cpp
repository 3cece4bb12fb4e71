#include "formats/Mesh.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"
#include "formats/PackageObject.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorrel {
namespace {

constexpr quint16 kFirstVersion = 61, kLastVersion = 69;
constexpr quint16 kSkipVersion = 62;   // arrays carry the offset of their end from here on
constexpr quint16 kFourthRadius = 62;  // spheres carry a fourth float from here on
constexpr quint16 kOneLodFloat = 65;   // one float of texture level of detail
constexpr quint16 kLodFloatArray = 66; // an array of them
constexpr qsizetype kBox = 6 * 4 + 1;  // two corners and a valid byte

// The package cursor, with the arrays and names a mesh is made of.
class MeshCursor : public PackageCursor {
public:
    MeshCursor(const PackageCursor& cursor, const PackageTables& tables)
        : PackageCursor(cursor), m_tables(tables) {}

    qsizetype sphere() const { return m_tables.version >= kFourthRadius ? 16 : 12; }

    // The offset of the array's end that later versions write in front of some arrays.
    void skipOffset() {
        if (m_tables.version >= kSkipVersion)
            u32("an array's end offset");
    }

    // An array's count, checked against what the bytes left can hold at `entry` bytes each.
    qint32 count(qsizetype entry, const char* what) {
        const qsizetype start = at();
        const qint32 n = compact(what);
        if (n < 0 || n > left() / entry)
            throw Failure::damaged(
                QStringLiteral("the %1 count %2 at byte %3 is more than the %4 bytes left can hold")
                    .arg(QLatin1String(what))
                    .arg(n)
                    .arg(start)
                    .arg(left()));
        return n;
    }

    void skipArray(qsizetype entry, const char* what) {
        take(qsizetype(count(entry, what)) * entry, what);
    }

    QString name(const char* what) {
        const qint32 index = compact(what);
        if (index < 0 || index >= m_tables.names.size())
            throw Failure::damaged(QStringLiteral("%1 names name %2 of %3")
                                       .arg(QLatin1String(what))
                                       .arg(index)
                                       .arg(m_tables.names.size()));
        return m_tables.names.at(index);
    }

private:
    const PackageTables& m_tables;
};

struct Sequence {
    QString name;
    qint32 firstFrame;
};

struct Placing {
    float origin[3];
    float scale[3];
    float axes[3][3]; // where the model's X, Y and Z axes point once turned
};

// The rotation as the engine builds it: pitch, yaw and roll, 65536 to the full turn.
void setAxes(Placing& placing, qint32 pitch, qint32 yaw, qint32 roll) {
    const auto angle = [](qint32 units) { return double(units) * std::numbers::pi / 32768.0; };
    const double sP = std::sin(angle(pitch)), cP = std::cos(angle(pitch));
    const double sY = std::sin(angle(yaw)), cY = std::cos(angle(yaw));
    const double sR = std::sin(angle(roll)), cR = std::cos(angle(roll));
    const double axes[3][3] = {
        {cP * cY, cP * sY, sP},
        {sR * sP * cY - cR * sY, sR * sP * sY + cR * cY, -sR * cP},
        {-(cR * sP * cY + sR * sY), cY * sR - cR * sP * sY, cR * cP},
    };
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            placing.axes[i][j] = float(axes[i][j]);
    }
}

// Eleven bits of X, eleven of Y, ten of Z, each signed.
MeshPoint place(quint32 packed, const Placing& placing) {
    const auto field = [packed](int shift, int bits) {
        const qint32 value = qint32((packed >> shift) & ((1u << bits) - 1));
        return float(value >= (1 << (bits - 1)) ? value - (1 << bits) : value);
    };
    const float local[3] = {field(0, 11), field(11, 11), field(22, 10)};
    float placed[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        const float scaled = (local[i] - placing.origin[i]) * placing.scale[i];
        for (int j = 0; j < 3; ++j)
            placed[j] += scaled * placing.axes[i][j];
    }
    return {placed[0], placed[1], placed[2]};
}

const Sequence* shownSequence(const QList<Sequence>& sequences) {
    for (const QStringView wanted : {u"Breath3", u"Breath1"}) {
        for (const Sequence& sequence : sequences) {
            if (sameIgnoringCase(sequence.name, wanted))
                return &sequence;
        }
    }
    return sequences.isEmpty() ? nullptr : &sequences.first();
}

// The reasons it throws leave out the mesh's name, which readMesh() puts in front.
Mesh readLodMesh(QByteArrayView package, const PackageTables& tables, const PackageExport& object) {
    if (sameIgnoringCase(object.className, u"Mesh"))
        throw Failure::damaged(QStringLiteral("a plain Mesh, which this tool does not read: only "
                                              "LodMesh models are drawn"));
    if (!sameIgnoringCase(object.className, u"LodMesh"))
        throw Failure::damaged(QStringLiteral("a %1, not a mesh").arg(object.className));
    if (tables.version < kFirstVersion || tables.version > kLastVersion)
        throw Failure::damaged(
            QStringLiteral("meshes are read from package versions %1 to %2, not %3")
                .arg(kFirstVersion)
                .arg(kLastVersion)
                .arg(tables.version));
    Mesh mesh;
    mesh.name = object.objectName;
    PackageCursor data = objectCursor(package, object);
    const qsizetype end = data.at() + object.serialSize;
    readProperties(data, tables, object);
    MeshCursor in(data, tables);
    const quint16 version = tables.version;

    in.take(kBox + in.sphere(), "the bounds");
    in.skipOffset();
    const qint32 vertexCount = in.count(4, "vertex");
    const qsizetype verticesAt = in.at();
    in.take(qsizetype(vertexCount) * 4, "the vertices");
    in.skipOffset();
    in.skipArray(20, "triangle");

    QList<Sequence> sequences;
    const qint32 sequenceCount = in.count(15, "animation sequence");
    for (qint32 i = 0; i < sequenceCount; ++i) {
        Sequence sequence{in.name("an animation sequence"), 0};
        in.name("an animation group");
        sequence.firstFrame = in.i32("a first frame");
        in.i32("a frame count");
        for (qint32 n = in.count(5, "notify"); n > 0; --n) {
            in.f32("a notify time");
            in.name("a notify");
        }
        in.f32("a rate");
        sequences.append(sequence);
    }
    in.skipOffset();
    in.skipArray(8, "connect");
    in.take(kBox + in.sphere(), "the bounds");
    in.skipOffset();
    in.skipArray(4, "vertex link");
    for (qint32 n = in.count(1, "texture"); n > 0; --n)
        in.compact("a texture");
    in.skipArray(kBox, "frame box");
    in.skipArray(in.sphere(), "frame sphere");
    const qint32 verticesPerFrame = in.i32("the vertices per frame");
    const qint32 frameCount = in.i32("the frame count");
    in.take(8, "the flags");
    Placing placing;
    for (float& scale : placing.scale)
        scale = in.f32("the scale");
    for (float& origin : placing.origin)
        origin = in.f32("the origin");
    const qint32 pitch = in.i32("the rotation"), yaw = in.i32("the rotation");
    setAxes(placing, pitch, yaw, in.i32("the rotation"));
    in.take(8, "the current polygon and vertex");
    if (version == kOneLodFloat)
        in.f32("the texture detail");
    else if (version >= kLodFloatArray)
        in.skipArray(4, "texture detail");

    in.skipArray(2, "collapse point");
    in.skipArray(2, "face level");
    mesh.faces.resize(in.count(8, "face"));
    for (MeshFace& face : mesh.faces) {
        for (quint16& wedge : face.wedges)
            wedge = in.u16("a face");
        face.material = in.u16("a face");
    }
    in.skipArray(2, "collapse wedge");
    mesh.wedges.resize(in.count(4, "wedge"));
    for (MeshWedge& wedge : mesh.wedges) {
        wedge.vertex = in.u16("a wedge");
        wedge.u = in.u8("a wedge");
        wedge.v = in.u8("a wedge");
    }
    mesh.materials.resize(in.count(8, "material"));
    for (MeshMaterial& material : mesh.materials) {
        material.polyFlags = in.u32("a material");
        material.textureSlot = in.i32("a material");
    }
    in.skipArray(8, "special face");
    in.u32("the model vertices");
    const quint32 specialVertices = in.u32("the special vertices");
    in.take(4 * 6, "the level of detail settings");
    in.skipArray(2, "remapped vertex");
    in.u32("the old frame vertices");

    if (const Sequence* shown = shownSequence(sequences)) {
        mesh.sequence = shown->name;
        mesh.frame = shown->firstFrame;
    }
    if (mesh.frame < 0 || mesh.frame >= frameCount)
        throw Failure::damaged(
            QStringLiteral("the sequence %1 starts at frame %2, but the mesh has %3 frames")
                .arg(mesh.sequence.isEmpty() ? QStringLiteral("(none)") : mesh.sequence)
                .arg(mesh.frame)
                .arg(frameCount));
    for (qsizetype i = 0; i < mesh.faces.size(); ++i) {
        const MeshFace& face = mesh.faces[i];
        for (const quint16 wedge : face.wedges) {
            if (wedge >= mesh.wedges.size())
                throw Failure::damaged(QStringLiteral("face %1 uses wedge %2 of %3")
                                           .arg(i)
                                           .arg(wedge)
                                           .arg(mesh.wedges.size()));
        }
        if (face.material >= mesh.materials.size())
            throw Failure::damaged(QStringLiteral("face %1 uses material %2 of %3")
                                       .arg(i)
                                       .arg(face.material)
                                       .arg(mesh.materials.size()));
    }
    quint16 highest = 0;
    for (const MeshWedge& wedge : mesh.wedges)
        highest = std::max(highest, wedge.vertex);
    const qint64 first = qint64(mesh.frame) * verticesPerFrame + specialVertices;
    if (!mesh.wedges.isEmpty() && (first < 0 || first + highest >= vertexCount))
        throw Failure::damaged(QStringLiteral("frame %1 needs vertex %2, but the mesh has %3")
                                   .arg(mesh.frame)
                                   .arg(first + highest)
                                   .arg(vertexCount));
    if (!mesh.wedges.isEmpty()) {
        mesh.points.resize(qsizetype(highest) + 1);
        PackageCursor vertices(package, verticesAt + first * 4, end);
        for (MeshPoint& point : mesh.points)
            point = place(vertices.u32("a vertex"), placing);
    }
    return mesh;
}

} // namespace

bool isMeshClass(QStringView className) {
    return sameIgnoringCase(className, u"LodMesh") || sameIgnoringCase(className, u"Mesh");
}

Mesh readMesh(QByteArrayView package, const PackageTables& tables, qsizetype exportIndex) {
    const PackageExport& object = tables.exports.at(exportIndex);
    try {
        return readLodMesh(package, tables, object);
    } catch (const Failure& failure) {
        throw failure.about(object.objectName);
    }
}

QList<MeshTriangle> meshTriangles(const Mesh& mesh) {
    QList<MeshTriangle> triangles;
    triangles.reserve(mesh.faces.size());
    for (const MeshFace& face : mesh.faces) {
        const MeshMaterial& material = mesh.materials.at(face.material);
        MeshTriangle triangle;
        for (int k = 0; k < 3; ++k) {
            const MeshWedge& wedge = mesh.wedges.at(face.wedges[k]);
            triangle.corners[k] = mesh.points.at(wedge.vertex);
            triangle.uv[2 * k] = float(wedge.u) / 256.0f;
            triangle.uv[2 * k + 1] = float(wedge.v) / 256.0f;
        }
        triangle.slot = material.textureSlot;
        triangle.masked = material.polyFlags & MeshMaterial::kMasked;
        triangle.twoSided = material.polyFlags & MeshMaterial::kTwoSided;
        triangles.append(triangle);
    }
    return triangles;
}

QList<qint32> meshSlots(const Mesh& mesh) {
    QList<qint32> named;
    for (const MeshFace& face : mesh.faces) {
        const qint32 slot = mesh.materials.at(face.material).textureSlot;
        if (!named.contains(slot))
            named.insert(std::lower_bound(named.begin(), named.end(), slot), slot);
    }
    return named;
}

} // namespace quorrel
