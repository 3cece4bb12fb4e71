#include "TestFiles.h"

#include "base/Failure.h"
#include "formats/PackageObject.h"
#include "formats/PackageWriter.h"
#include "formats/Texture.h"

#include <QBuffer>
#include <QtTest>

using namespace quorrel;

namespace {

// A texture's palette and mip 0 indices as the package stores them.
struct StoredTexture {
    QByteArray palette, indices;
    QList<Property> properties;
};

StoredTexture stored(QByteArrayView package, const PackageTables& tables, qsizetype index) {
    const PackageExport& texture = tables.exports[index];
    PackageCursor cursor = objectCursor(package, texture);
    StoredTexture result{{}, {}, readProperties(cursor, tables, texture)};
    cursor.compact("mips");
    cursor.u32("end");
    const qint32 count = cursor.compact("count");
    result.indices = QByteArray(reinterpret_cast<const char*>(cursor.take(count, "pixels")), count);
    const PackageExport& palette =
        tables.exports[propertyNumber(package, result.properties, u"Palette", 0) - 1];
    PackageCursor colours = objectCursor(package, palette);
    readProperties(colours, tables, palette);
    colours.compact("count");
    result.palette = QByteArray(reinterpret_cast<const char*>(colours.take(1024, "colours")), 1024);
    return result;
}

// The stored texture as an 8-bit PNG file: its palette in its order, index 0 transparent when
// masked, and its indices.
QByteArray pngOf(const StoredTexture& texture, int width, int height, bool masked) {
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < 256; ++i) {
        const auto* c = reinterpret_cast<const uchar*>(texture.palette.constData()) + 4 * i;
        table << qRgba(c[0], c[1], c[2], masked && i == 0 ? 0 : 255);
    }
    image.setColorTable(table);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), texture.indices.constData() + y * width, size_t(width));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

QByteArray propertyBytes(QByteArrayView package, const QList<Property>& properties,
                         QStringView name) {
    const Property* property = findProperty(properties, name);
    return !property ? QByteArray("absent")
           : property->type == PropertyType::Bool
               ? QByteArray(1, char(property->boolValue))
               : package.sliced(property->valueAt, property->size).toByteArray();
}

} // namespace

class TestPackageWriter : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stockRebuilt();
    void roundTrips_data();
    void roundTrips();
};

// Catches a palette or mip 0 changed on the way, mips far from the editor's, a property the game
// reads written otherwise than its own packages have it, or palettes not shared.
void TestPackageWriter::stockRebuilt() {
    const QString path = QStringLiteral(QUORREL_TESTDATA_DIR "/tcowmeshskins.utx");
    if (!QFileInfo::exists(path))
        QSKIP("no tcowmeshskins.utx in " QUORREL_TESTDATA_DIR "; built pictures only");
    const QByteArray stock = testpkg::readFile(path);
    const PackageTables stockTables = readPackageTables(stock);
    QList<PackageTexture> textures;
    for (const TextureInfo& info : readTextures(stock, stockTables)) {
        const StoredTexture texture = stored(stock, stockTables, info.exportIndex);
        textures << textureFromPicture(
            info.name,
            decodePicture(pngOf(texture, info.width, info.height, info.masked), u"x.png"), false);
    }
    const QByteArray ours = writeTexturePackage(QStringLiteral("tcowmeshskins"), textures);
    const PackageTables tables = readPackageTables(ours);
    QCOMPARE(tables.flags, 1u);
    QCOMPARE(textureNames(tables), textureNames(stockTables));
    QCOMPARE(tables.exports.size(), stockTables.exports.size()); // 9 palettes, one of them shared
    const auto layout = [](const PackageTables& t) { // the imports, and each class's flags
        QStringList lines;
        for (const PackageImport& i : t.imports)
            lines << QStringLiteral("%1.%2 %3 in %4")
                         .arg(i.classPackage, i.className, i.objectName)
                         .arg(i.package);
        for (const PackageExport& e : t.exports)
            lines << QStringLiteral("%1 %2 in %3")
                         .arg(e.className)
                         .arg(e.flags, 0, 16)
                         .arg(e.package);
        lines.removeDuplicates();
        return lines;
    };
    QCOMPARE(layout(tables), layout(stockTables));
    for (const TextureInfo& info : readTextures(ours, tables)) {
        const qsizetype stockIndex =
            textureExports(stockTables)[textureNames(stockTables).indexOf(info.name)];
        const StoredTexture mine = stored(ours, tables, info.exportIndex);
        const StoredTexture theirs = stored(stock, stockTables, stockIndex);
        QCOMPARE(mine.palette, theirs.palette);
        QCOMPARE(mine.indices, theirs.indices);
        for (const QStringView property : {u"UBits", u"VBits", u"USize", u"VSize", u"UClamp",
                                           u"VClamp", u"MaxColor", u"bMasked"})
            QCOMPARE(propertyBytes(ours, mine.properties, property),
                     propertyBytes(stock, theirs.properties, property));
        // The editor's average is off the exact mean by up to one, either way.
        const QByteArray average = propertyBytes(ours, mine.properties, u"MipZero");
        const QByteArray stockAverage = propertyBytes(stock, theirs.properties, u"MipZero");
        for (int c = 0; c < 4; ++c)
            QVERIFY(std::abs(int(uchar(average[c])) - int(uchar(stockAverage[c]))) <= 1);
        QCOMPARE(info.failure, QString());
        qint64 difference = 0, channels = 0; // over the mips both have, as the game draws them
        for (int side = info.width / 2; side >= 1; side /= 2) {
            const Picture a = decodeTexture(ours, tables, info.exportIndex, side);
            const Picture b = decodeTexture(stock, stockTables, stockIndex, side);
            QCOMPARE(a.width, side);
            if (b.width != side)
                break;
            for (qsizetype i = 0; i < a.rgba.size(); ++i)
                difference +=
                    i % 4 == 3 ? 0 : std::abs(int(uchar(a.rgba[i])) - int(uchar(b.rgba[i])));
            channels += a.rgba.size() / 4 * 3;
        }
        QVERIFY2(difference <= 2 * channels, qPrintable(info.name));
    }
}

void TestPackageWriter::roundTrips_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<bool>("indexed");
    QTest::addColumn<bool>("masked");
    QTest::newRow("true colour, masked by alpha") << 16 << 16 << false << true;
    QTest::newRow("8-bit, transparent entry 3 moves to 0") << 8 << 8 << true << true;
    QTest::newRow("256x32") << 256 << 32 << false << false;
    QTest::newRow("1x1, 8-bit") << 1 << 1 << true << false;
}

// Catches pixels, sizes, mips or masks that the project's own reader does not read back.
void TestPackageWriter::roundTrips() {
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(bool, indexed);
    QFETCH(bool, masked);
    // Four colours in stripes; when masked, colour 3 is transparent.
    const QList<Colour> colours{{200, 10, 10, 255},
                                {10, 200, 10, 255},
                                {10, 10, 200, 255},
                                {90, 90, 90, quint8(masked ? 0 : 255)}};
    IndexedPicture source{width, height, QByteArray(width * height, '\0'), colours};
    Picture rgba{width, height, QByteArray(width * height * 4, '\0')};
    for (int i = 0; i < width * height; ++i) {
        source.indices[i] = char((i % width + i / width) % 4);
        std::memcpy(rgba.rgba.data() + 4 * i, colours[quint8(source.indices[i])].data(), 4);
    }
    const SourcePicture picture{rgba, indexed ? std::optional(source) : std::nullopt};
    const QByteArray bytes =
        writeTexturePackage(QStringLiteral("Round_Trip"),
                            {textureFromPicture(QStringLiteral("Tigr1"), picture, false)});
    const PackageTables tables = readPackageTables(bytes);
    const QList<TextureInfo> textures = readTextures(bytes, tables);
    QCOMPARE(textures.size(), 1);
    const TextureInfo& info = textures.first();
    QCOMPARE(info.name, QStringLiteral("Tigr1"));
    QCOMPARE(info.masked, masked);
    QCOMPARE(info.mipCount, std::bit_width(unsigned(std::max(width, height))));
    QCOMPARE(info.failure, QString());
    Picture read = decodeTexture(bytes, tables, info.exportIndex);
    for (int i = 0; masked && i < width * height; ++i) { // the mask keeps no colour
        if (source.indices[i] == 3)
            std::memcpy(read.rgba.data() + 4 * i, colours[3].data(), 4);
    }
    QCOMPARE(read.rgba, rgba.rgba);
    // Each write is a package of its own to the game: only the GUID differs.
    QByteArray again =
        writeTexturePackage(QStringLiteral("Round_Trip"),
                            {textureFromPicture(QStringLiteral("Tigr1"), picture, false)});
    QVERIFY(again.mid(36, 16) != bytes.mid(36, 16));
    QCOMPARE(again.replace(36, 16, bytes.mid(36, 16)), bytes);
}

QTEST_GUILESS_MAIN(TestPackageWriter)
#include "tst_package_writer.moc"
