#pragma once

#include "formats/Package.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

#include <array>

// A player model as a package stores it (a LodMesh, package versions 61-69): its faces, the
// wedges they are made of, their materials, and one frame of its vertices.
namespace quorrel {

// A point of the placed model: X forward (the model faces +X), Y right, Z up.
struct MeshPoint {
    float x = 0, y = 0, z = 0;
};

struct MeshFace {
    std::array<quint16, 3> wedges{};
    quint16 material = 0;
};

// A corner as faces share it: a vertex and where it sits on the texture (of 256).
struct MeshWedge {
    quint16 vertex = 0;
    quint8 u = 0, v = 0;
};

struct MeshMaterial {
    static constexpr quint32 kMasked = 2;     // palette index 0 is transparent
    static constexpr quint32 kTwoSided = 256; // seen from both sides
    quint32 polyFlags = 0;
    qint32 textureSlot = 0; // the skin slot that textures it
};

struct Mesh {
    QString name;
    QString sequence; // the animation the frame comes from; empty when the mesh has none
    qint32 frame = 0;
    QList<MeshFace> faces;
    QList<MeshWedge> wedges;
    QList<MeshMaterial> materials;
    // The frame's vertices as the wedges number them, placed: the origin taken off, scaled and
    // turned by the mesh's own rotation.
    QList<MeshPoint> points;
};

// Whether objects of the class are meshes: LodMesh or Mesh (ignoring case).
bool isMeshClass(QStringView className);

// Reads the LodMesh that export `exportIndex` holds, in the frame the player menu shows: the
// first frame of the sequence Breath3, else Breath1, else the first sequence. Throws a Failure
// (Damaged) saying which and why when the export is no LodMesh (a plain Mesh included), its data
// runs past the export, a count is more than the bytes left can hold, or a wedge, vertex,
// material or frame number is out of range. Every index in the result is checked.
Mesh readMesh(QByteArrayView package, const PackageTables& tables, qsizetype exportIndex);

// One face as drawing needs it.
struct MeshTriangle {
    std::array<MeshPoint, 3> corners;
    std::array<float, 6> uv{}; // each corner's U, V as fractions of the texture, from the top left
    qint32 slot = 0;
    bool masked = false;
    bool twoSided = false;
};

QList<MeshTriangle> meshTriangles(const Mesh& mesh);

// The skin slots the mesh's faces name, ascending, each once.
QList<qint32> meshSlots(const Mesh& mesh);

} // namespace quorrel
