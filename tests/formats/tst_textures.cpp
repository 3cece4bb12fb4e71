#include "PackageBuilder.h"
#include "TestFiles.h"

#include "base/Failure.h"
#include "formats/Package.h"
#include "formats/Texture.h"

#include <QtTest>

using namespace quorrel;
using namespace testpkg;

namespace {

using L = QList<Object>;

// Pal: R, G, B and a byte the game ignores, four times.
const QByteArray kColours("\x10\x20\x30\xEE\x40\x50\x60\xEE\x70\x80\x90\xEE\xA0\xB0\xC0\xEE", 16);
const Object kPal = palette("Pal", kColours);
const Tags kP8 = textureTags(0, "Pal");

// Each pixel as 0xRRGGBBAA.
QByteArray rgba(std::initializer_list<quint32> pixels) {
    QByteArray bytes;
    for (const quint32 pixel : pixels) {
        char be[4];
        qToBigEndian(pixel, be);
        bytes.append(be, 4);
    }
    return bytes;
}

} // namespace

class TestTextures : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void decodes_data();
    void decodes();
    void damage_data();
    void damage();
    void realPackages();
};

void TestTextures::decodes_data() {
    QTest::addColumn<QList<Object>>("objects"); // the texture T, and the palette Pal
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("largestSide");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("rgba");
    const QList<Mip> mips{{4, 2, QByteArray(8, '\0')}, {2, 1, "\1\2"}, {1, 1, "\3"}};
    const auto dxt1 = [](bool masked, const char* blocks, int width, int height) {
        return L{texture(
            "T", textureTags(3, {}, masked),
            {{{quint32(width), quint32(height), QByteArray(blocks, (width + 3) / 4 * 8)}}})};
    };
    // clang-format off
    QTest::newRow("P8 at 69; a struct and a two-byte array index skipped")
        << L{kPal, texture("T", [](const Refs& r) {
               return tag(r, "MipZero", 10, "\xFF\xFF\xFF\xFF", 0, "Color") +
                      tag(r, "InternalTime", 2, u32s({7}), 200) + kP8(r); },
               {{{2, 2, QByteArray("\0\1\2\3", 4)}}})}
        << 69 << 0 << QSize(2, 2) << rgba({0x102030FF, 0x405060FF, 0x708090FF, 0xA0B0C0FF});
    QTest::newRow("masked P8 at 61, no mip end")
        << L{kPal,
             texture("T", textureTags(0, "Pal", true), {{{2, 1, QByteArray("\0\3", 2)}}}, false)}
        << 61 << 0 << QSize(2, 1) << rgba({0x10203000, 0xA0B0C0FF});
    QTest::newRow("P8 at 62 with a mip end") << L{kPal, texture("T", kP8, {{{1, 1, "\2"}}})}
        << 62 << 0 << QSize(1, 1) << rgba({0x708090FF});
    QTest::newRow("P8 at 62 without")
        << L{kPal, texture("T", kP8, {{{1, 1, "\2"}}}, false)}
        << 62 << 0 << QSize(1, 1) << rgba({0x708090FF});
    QTest::newRow("the smallest mip of at least 2") << L{kPal, texture("T", kP8, {mips})}
        << 69 << 2 << QSize(2, 1) << rgba({0x405060FF, 0x708090FF});
    QTest::newRow("no mip of at least 5: mip 0") << L{kPal, texture("T", kP8, {mips})}
        << 69 << 5 << QSize(4, 2) << rgba({0x102030FF}).repeated(8);
    QTest::newRow("DXT1 four colours, widened; masked changes none")
        << dxt1(true, "\x10\x84\x1F\0\x04\x0E\0\0", 2, 2)
        << 69 << 0 << QSize(2, 2) << rgba({0x848284FF, 0x0000FFFF, 0x5856ADFF, 0x2C2BD6FF});
    QTest::newRow("DXT1 three colours, masked black")
        << dxt1(true, "\x1F\0\0\xF8\x04\x0E\0\0", 2, 2)
        << 69 << 0 << QSize(2, 2) << rgba({0x0000FFFF, 0xFF0000FF, 0x7F007FFF, 0x00000000});
    QTest::newRow("DXT1 blocks left to right, black opaque")
        << dxt1(false, "\0\xF8\0\xF8\x03\0\0\0" "\xE0\x07\xFF\xFF\x01\0\0\0", 5, 1)
        << 69 << 0 << QSize(5, 1)
        << rgba({0x000000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFFFFFFFF});
    QTest::newRow("RGBA8 stored B, G, R, A")
        << L{texture("T", textureTags(5), {{{2, 1, "\1\2\3\4\5\6\7\x08"}}})}
        << 69 << 0 << QSize(2, 1) << rgba({0x03020104, 0x07060508});
    QTest::newRow("RGB16 as 5-6-5")
        << L{texture("T", textureTags(2), {{{2, 1, QByteArray("\x10\x84\x1F\0", 4)}}})}
        << 69 << 0 << QSize(2, 1) << rgba({0x848284FF, 0x0000FFFF});
    QTest::newRow("a compressed second array follows")
        << L{kPal, texture("T", [](const Refs& r) {
               return kP8(r) + tag(r, "bHasComp", 3, {}, 1) + tag(r, "CompFormat", 1, "\3"); },
               {{{1, 1, "\1"}}, {{4, 4, QByteArray(8, '\0')}}})}
        << 69 << 0 << QSize(1, 1) << rgba({0x405060FF});
    // clang-format on
}

// Catches a misread format, palette, mask, mip choice or mip end, or a tag skipped wrong.
void TestTextures::decodes() {
    QFETCH(QList<Object>, objects);
    QFETCH(int, version);
    QFETCH(int, largestSide);
    QFETCH(QSize, size);
    QFETCH(QByteArray, rgba);
    const QByteArray bytes = realPackage(objects, quint16(version));
    const PackageTables tables = readPackageTables(bytes);
    const QList<TextureInfo> textures = readTextures(bytes, tables);
    QCOMPARE(textures.size(), 1);
    QCOMPARE(textures[0].failure, QString());
    const Picture picture = decodeTexture(bytes, tables, textures[0].exportIndex, largestSide);
    QCOMPARE(QSize(picture.width, picture.height), size);
    QCOMPARE(picture.rgba.toHex(' '), rgba.toHex(' '));
}

void TestTextures::damage_data() {
    // The texture Bad, and a palette it uses, beside the palette Pal and the texture Good.
    QTest::addColumn<QList<Object>>("bad");
    QTest::addColumn<QString>("reason");
    const QList<Mip> one{{1, 1, "\1"}};
    const auto tags = [](const QByteArray& bytes) {
        return [=](const Refs& r) { return kP8(r) + r.name("USize") + bytes; };
    };
    // clang-format off
    QTest::newRow("a value past the export")
        << L{texture("Bad", tags(QByteArray("\x72\xFF\xFF\0\0", 5)), {one})}
        << "a property value at byte";
    QTest::newRow("a tag without a type") << L{texture("Bad", tags("\x10"), {one})}
        << "has no type";
    QTest::newRow("17 mips") << L{texture("Bad", kP8, {QList<Mip>(17, one[0])})}
        << "the mip count 17 at byte";
    QTest::newRow("a side of 0") << L{texture("Bad", kP8, {{{0, 1, "\1"}}})}
        << "mip 0 is 0x1 pixels";
    QTest::newRow("a side of 4097") << L{texture("Bad", kP8, {{{1, 1, "\1"}, {4097, 1, "\1"}}})}
        << "mip 1 is 4097x1 pixels";
    QTest::newRow("fewer pixel bytes than the size needs")
        << L{texture("Bad", kP8, {{{2, 2, "\1\2\3"}}})} << "mip 0 (2x2) holds 3 bytes of the 4";
    QTest::newRow("a mip end that does not match") << L{texture("Bad", kP8, {one}, false)}
        << "mip 0 says its pixels end at byte";
    QTest::newRow("the data cut short") << L{{"Bad", "Texture", "Engine", [=](const Refs& r) {
        return textureData(r, kP8(r), {one}).chopped(1); }}} << "a mip's size bits at byte";
    QTest::newRow("no data") << L{{"Bad"}} << "Bad's data (0 bytes at byte 0) lies outside";
    QTest::newRow("a compressed array missing") << L{texture("Bad", [](const Refs& r) {
        return kP8(r) + tag(r, "bHasComp", 3, {}, 1); }, {one})} << "the mip count at byte";
    QTest::newRow("no palette") << L{texture("Bad", textureTags(0), {one})} << "it has no palette";
    QTest::newRow("a palette of another class") << L{texture("Bad", textureTags(0, "Good"), {one})}
        << "its palette Good is of class Texture";
    QTest::newRow("a palette in another package") << L{texture("Bad", [](const Refs& r) {
        return tag(r, "Palette", 5, compact(r.import("Palette", "Pal", "Other"))); }, {one})}
        << "its palette Pal is in Other, which this file does not hold";
    QTest::newRow("a palette of no colours")
        << L{palette("Empty", {}, 0), texture("Bad", textureTags(0, "Empty"), {one})}
        << "its palette Empty has 0 colours, not 1 to 256";
    QTest::newRow("a palette of 257 colours")
        << L{palette("Big", QByteArray(257 * 4, '\0')),
             texture("Bad", textureTags(0, "Big"), {one})}
        << "its palette Big has 257 colours";
    QTest::newRow("a palette cut short")
        << L{palette("Cut", kColours, 5), texture("Bad", textureTags(0, "Cut"), {one})}
        << "the palette's colours at byte";
    QTest::newRow("format 4") << L{texture("Bad", textureTags(4), {{{1, 1, "\1\2\3"}}})}
        << "unsupported format 4";
    QTest::newRow("procedural") << L{texture("Bad", kP8, {{{8, 8, ""}}}, true, "FireTexture")}
        << "no stored pixels: the game draws it at run time";
    // clang-format on
}

// Catches damage let pass or told wrong, a crash, or damage that fails the other textures.
void TestTextures::damage() {
    QFETCH(QList<Object>, bad);
    QFETCH(QString, reason);
    const QByteArray bytes =
        realPackage(QList<Object>{kPal, texture("Good", kP8, {{{1, 1, "\1"}}})} + bad);
    const PackageTables tables = readPackageTables(bytes);
    const QList<TextureInfo> textures = readTextures(bytes, tables);
    QCOMPARE(textures.size(), 2);
    QCOMPARE(textures[0].failure, QString());
    QCOMPARE(decodeTexture(bytes, tables, textures[0].exportIndex).rgba, rgba({0x405060FF}));
    QVERIFY2(textures[1].failure.contains(reason), qPrintable(textures[1].failure));
    QCOMPARE(textures[1].hasPixels, !reason.startsWith(QStringLiteral("no stored")));
    // The fuzz target checks that the decoder fails with the same reason.
    QVERIFY_THROWS_EXCEPTION(Failure, decodeTexture(bytes, tables, textures[1].exportIndex));
}

// Catches a real texture that fails to decode (the fuzz replay checks what those that do
// decode to), a procedural one taken for stored pixels, or a thumbnail of another mip.
void TestTextures::realPackages() {
    if (sharedPackages().isEmpty())
        QSKIP("no real packages in " QUORREL_TESTDATA_DIR "; built packages only");
    for (const QString& path : sharedPackages()) {
        const QByteArray bytes = readFile(path);
        const PackageTables tables = readPackageTables(bytes);
        for (const TextureInfo& info : readTextures(bytes, tables)) {
            const bool stored = info.className == QLatin1String("Texture");
            QVERIFY2(info.hasPixels == stored && info.failure.isEmpty() == stored,
                     qPrintable(path + u' ' + info.name + QStringLiteral(": ") + info.failure));
            if (info.mipCount > 1) { // all 256x256, down to 1x1
                const Picture thumbnail = decodeTexture(bytes, tables, info.exportIndex, 32);
                QCOMPARE(QSize(thumbnail.width, thumbnail.height), QSize(32, 32));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestTextures)
#include "tst_textures.moc"
