// Feeds arbitrary bytes through the name walk, the picture selection and the INT text builder,
// through the package reader, the menu rules (also reading the bytes as an .int), the texture
// decoder and the mesh reader and drawing, the PCX and TGA readers, and checks what must hold
// whatever the bytes are.
#include "ReferenceWalk.h"

#include "base/Failure.h"
#include "base/IgnoringCase.h"
#include "base/Windows1252.h"
#include "formats/IntFile.h"
#include "formats/Mesh.h"
#include "formats/Package.h"
#include "formats/PictureFile.h"
#include "formats/Texture.h"
#include "render/ModelPicture.h"
#include "rules/NameWalk.h"
#include "rules/PictureOrder.h"
#include "rules/PictureScan.h"
#include "rules/SkinMenu.h"
#include "rules/SkinSlots.h"
#include "window/Design.h"
#include "window/ResizeLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "invariant broken: %s\n", what);
        std::abort();
    }
}

void checkIntText(const QString& package, const QString& description, const QStringList& pictures) {
    const QString text = quorrel::buildIntText(package, description, pictures);
    check(quorrel::intFileBytes(package, description, pictures) == quorrel::intFileBytes(text),
          "the saved bytes built directly equal those of the text");
    const QString crLf = QStringLiteral("\r\n");
    check(text.startsWith(QStringLiteral("[public]\r\n\r\n")), "INT text starts with [public]");
    check(text.endsWith(QStringLiteral(")\r\n")), "INT text ends with an object line");
    const auto plain = [](const QString& s) { return !s.contains(u'\r') && !s.contains(u'\n'); };
    if (!plain(package) || !plain(description) ||
        !std::all_of(pictures.begin(), pictures.end(), plain))
        return; // a line break inside a name makes more lines; nothing is escaped
    const QStringList lines = text.split(crLf);
    check(lines.size() == 2 + std::max<qsizetype>(1, pictures.size()) + 1,
          "one object line per picture, one for none");
    check(lines.last().isEmpty(), "every line ends with CR LF");
    for (qsizetype k = 2; k + 1 < lines.size(); ++k) {
        check(lines[k].startsWith(QStringLiteral("Object=(Name=") + package + u'.' +
                                  pictures.value(k - 2) + QStringLiteral(",Class=Texture")),
              "object line names its picture");
    }
}

// A name the .int carries through unchanged: no separator, quote, line break or outer space.
bool plainName(const QString& name) {
    static const QString separators = QStringLiteral(",)\"\r\n");
    return name.trimmed() == name &&
           std::none_of(name.begin(), name.end(), [](QChar c) { return separators.contains(c); });
}

// Every texture decodes, at full size and as a thumbnail, exactly when it reads without a
// failure, and else fails with that same reason.
void checkTextures(QByteArrayView bytes, const quorrel::PackageTables& tables) {
    const QList<quorrel::TextureInfo> textures = quorrel::readTextures(bytes, tables);
    check(textures.size() == quorrel::textureExports(tables).size(), "one entry per texture");
    for (const quorrel::TextureInfo& info : textures) {
        for (const int side : {0, 16}) {
            quorrel::Picture picture;
            try {
                picture = quorrel::decodeTexture(bytes, tables, info.exportIndex, side);
            } catch (const quorrel::Failure& failure) {
                check(failure.kind() == quorrel::Failure::Kind::Damaged &&
                          failure.text() == info.failure && !info.failure.isEmpty(),
                      "a texture fails to decode with the reason it was read with");
                continue;
            }
            check(info.failure.isEmpty() && info.hasPixels,
                  "a texture decodes only without failure");
            check(picture.width >= 1 && picture.width <= 4096 && picture.height >= 1 &&
                      picture.height <= 4096,
                  "a picture's sides are 1 to 4096");
            check(picture.rgba.size() == qsizetype(picture.width) * picture.height * 4,
                  "a picture has four bytes a pixel");
            check(side != 0 || (picture.width == info.width && picture.height == info.height),
                  "full size is mip 0's size");
        }
    }
}

// Every mesh export read, and drawn when it reads: small, so that the fuzzer stays fast.
void checkMeshes(QByteArrayView bytes, const quorrel::PackageTables& tables) {
    for (qsizetype i = 0; i < tables.exports.size(); ++i) {
        const QString& className = tables.exports[i].className;
        if (!quorrel::sameIgnoringCase(className, u"LodMesh") &&
            !quorrel::sameIgnoringCase(className, u"Mesh"))
            continue;
        quorrel::Mesh mesh;
        try {
            mesh = quorrel::readMesh(bytes, tables, i);
        } catch (const quorrel::Failure& failure) {
            check(failure.kind() == quorrel::Failure::Kind::Damaged &&
                      failure.text().startsWith(tables.exports[i].objectName + u':'),
                  "a mesh that cannot be read is damaged, with its name and a reason");
            continue;
        }
        const QList<quorrel::MeshTriangle> faces = quorrel::meshTriangles(mesh);
        check(faces.size() == mesh.faces.size(), "one triangle per face");
        const QList<qint32> named = quorrel::meshSlots(mesh);
        for (const quorrel::MeshTriangle& face : faces) {
            check(named.contains(face.slot), "every face's slot is among the mesh's slots");
            for (const float uv : face.uv)
                check(uv >= 0 && uv < 1, "texture positions lie on the texture");
        }
        const quorrel::Picture picture = quorrel::drawModel(faces, {}, 24, 16, double(i) * 40);
        check(picture.rgba.size() == 24 * 16 * 4, "the picture has the size asked for");
        for (qsizetype k = 3; k < picture.rgba.size(); k += 4)
            check(picture.rgba[k] == 0 || picture.rgba[k] == char(0xFF), "pixels are drawn or not");
    }
}

void checkReader(QByteArrayView bytes) {
    using F = quorrel::MenuFinding::Kind;
    const QList<quorrel::IntEntry> asInt = quorrel::readIntEntries(quorrel::decodeIntFile(bytes));
    quorrel::PackageTables tables;
    try {
        tables = quorrel::readPackageTables(bytes);
    } catch (const quorrel::Failure& failure) {
        check(failure.kind() == quorrel::Failure::Kind::Damaged && !failure.text().isEmpty(),
              "a package that cannot be read is damaged, with a reason");
        quorrel::menuFindings({}, asInt, QStringLiteral("Fuzz"));
        return;
    }
    check(tables.names.size() <= bytes.size() / 5, "no more names than the bytes can hold");
    check(tables.exports.size() <= bytes.size() / 12, "no more exports than the bytes can hold");
    quorrel::walkDifference(quorrel::walkNames(bytes), tables.names);
    checkTextures(bytes, tables);
    checkMeshes(bytes, tables);
    const QStringList textures = quorrel::textureNames(tables);
    for (const quorrel::MenuFinding& finding :
         quorrel::menuFindings(textures, asInt, QStringLiteral("Fuzz")))
        check(!quorrel::findingText(finding).isEmpty(), "every finding has its English");

    // The complete .int, read back, lists every skin and leaves only the package's own faults.
    const QList<quorrel::IntObject> objects =
        quorrel::completeObjects(textures, QStringLiteral("First"), {});
    check(objects.size() == textures.size(), "one object per texture");
    const QByteArray file =
        quorrel::intFileBytes(quorrel::buildIntText(QStringLiteral("Fuzz"), objects));
    const QList<quorrel::IntEntry> entries = quorrel::readIntEntries(quorrel::decodeIntFile(file));
    if (!std::all_of(textures.begin(), textures.end(), plainName))
        return;
    check(entries.size() == objects.size(), "the complete .int reads back whole");
    check(quorrel::menuSkins(entries).size() == quorrel::skinGroups(textures).size(),
          "the menu lists every skin of the complete .int");
    for (const quorrel::MenuFinding& finding :
         quorrel::menuFindings(textures, entries, QStringLiteral("Fuzz"))) {
        check(finding.kind == F::NoPortrait || finding.kind == F::PortraitWithoutFace ||
                  finding.kind == F::FaceOffSlot,
              "the complete .int leaves only missing portraits and faces off their slot");
    }

    // A single-skin model's: every skin listed, by its name, and nothing left to find.
    const quorrel::MenuModel model = quorrel::menuModelOf(QStringLiteral("Fuzz"), textures);
    if (!model.singleSkin)
        return;
    const QList<quorrel::IntEntry> skins =
        quorrel::readIntEntries(quorrel::decodeIntFile(quorrel::intFileBytes(quorrel::buildIntText(
            QStringLiteral("Fuzz"), quorrel::gameObjects(textures, model, {}, {})))));
    const QList<quorrel::MenuSkin> listed = quorrel::listedSkins(skins, model);
    const QStringList wanted = quorrel::modelSkins(model.mesh, textures);
    check(listed.size() == wanted.size(), "the menu lists every single skin");
    for (qsizetype i = 0; i < listed.size() && i < wanted.size(); ++i)
        check(listed[i].texture == wanted[i] && listed[i].description == wanted[i],
              "each single skin by its name");
    check(quorrel::modelFindings(textures, skins, QStringLiteral("Fuzz"), model).isEmpty(),
          "the complete .int of a single-skin model leaves nothing to find");
}

// The window's designed sizes, at the classic frame; records every value the layout applies.
class LayoutRecorder : public quorrel::LayoutTarget {
public:
    LayoutRecorder() {
        using namespace quorrel::design;
        const QMargins frame = kClassicFrame * kTwipsPerPixel;
        W = float(kClientArea.width + frame.left() + frame.right());
        H = float(kClientArea.height + frame.top() + frame.bottom());
        for (int c = 0; c < 8; ++c) {
            const Twips twips = designed(quorrel::LayoutControl(c));
            widths[c] = float(twips.width);
            heights[c] = float(twips.height);
            tops[c] = float(twips.top);
        }
    }
    float W, H;
    float widths[8], heights[8], tops[8];
    float outerWidth() const override { return W; }
    float outerHeight() const override { return H; }
    float width(quorrel::LayoutControl c) const override { return widths[int(c)]; }
    float height(quorrel::LayoutControl c) const override { return heights[int(c)]; }
    float top(quorrel::LayoutControl c) const override { return tops[int(c)]; }
    void setWidth(quorrel::LayoutControl c, float v) override { widths[int(c)] = applied(v); }
    void setHeight(quorrel::LayoutControl c, float v) override { heights[int(c)] = applied(v); }
    void setTop(quorrel::LayoutControl c, float v) override { tops[int(c)] = applied(v); }

private:
    static float applied(float v) {
        check(std::isfinite(v) && v >= 0, "the layout applies only finite sizes of 0 or more");
        return v;
    }
};

// The first bytes as the window's outer width and height, and as load-time margins.
void checkLayout(QByteArrayView bytes) {
    float values[5] = {};
    std::memcpy(values, bytes.data(), size_t(std::min<qsizetype>(bytes.size(), sizeof values)));
    LayoutRecorder target;
    quorrel::LayoutMargins margins = quorrel::measureMargins(target);
    target.W = values[0];
    target.H = values[1];
    const bool ordinary = std::abs(values[0]) < 1e7f && std::abs(values[1]) < 1e7f;
    check(quorrel::applyLayout(target, margins) || !ordinary, "an ordinary size is laid out");
    if (bytes.size() >= qsizetype(sizeof values))
        margins = {values[2], values[3], values[4]};
    quorrel::applyLayout(target, margins);
}

// The PCX and TGA readers read any bytes into a picture whose sizes hold together, or fail.
void checkPictures(QByteArrayView bytes) {
    for (const auto decode : {&quorrel::decodePcx, &quorrel::decodeTga}) {
        try {
            const quorrel::SourcePicture picture = decode(bytes);
            const qsizetype pixels = qsizetype(picture.rgba.width) * picture.rgba.height;
            check(pixels > 0 && picture.rgba.rgba.size() == pixels * 4, "a picture's size holds");
            if (picture.indexed) {
                const quorrel::IndexedPicture& indexed = *picture.indexed;
                check(indexed.indices.size() == pixels && indexed.palette.size() <= 256 &&
                          std::all_of(indexed.indices.begin(), indexed.indices.end(),
                                      [&](char i) { return quint8(i) < indexed.palette.size(); }),
                      "an 8-bit picture's indices lie in its palette");
            }
        } catch (const quorrel::Failure& failure) {
            check(failure.kind() == quorrel::Failure::Kind::Damaged, "a bad picture is damaged");
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    check(quorrel::windows1252::encode(quorrel::windows1252::decode(bytes)) == bytes,
          "Windows-1252 round trip");

    const quorrel::NameWalk walk = quorrel::walkNames(bytes);
    const quorrel::NameWalk expected = walkOneByteAtATime(bytes);
    check(walk.complete == expected.complete, "walk ends the same way as the byte-by-byte walk");
    check(walk.names == expected.names, "walk keeps exactly the names the byte-by-byte walk reads");

    const QString first = walk.names.value(0);
    for (const QString& mesh : {QString(), first.left(3), first}) {
        const QStringList selected = quorrel::selectPictures(walk.names, mesh);
        QStringList pictures = selected; // what the picture list holds after a scan
        quorrel::sortPictures(pictures);
        check(std::is_sorted(
                  pictures.begin(), pictures.end(),
                  [](const QString& a, const QString& b) { return quorrel::pictureLess(a, b); }),
              "picture list is sorted");
        if (mesh.isEmpty()) { // the longest selection; inserting one by one is quadratic
            QStringList oneByOne;
            for (const QString& name : selected)
                oneByOne.insert(std::upper_bound(oneByOne.cbegin(), oneByOne.cend(), name,
                                                 quorrel::pictureLess) -
                                    oneByOne.cbegin(),
                                name);
            check(oneByOne == pictures, "sorting at once equals inserting one by one");
        }
        checkIntText(first, mesh, pictures);
    }
    checkReader(bytes);
    checkLayout(bytes);
    checkPictures(bytes);
    return 0;
}
