#include "formats/ColourReduction.h"
#include "formats/Mips.h"

#include <QtTest>

#include <cmath>
#include <functional>
#include <random>

using namespace quorrel;

namespace {

// Each pixel as 0xRRGGBBAA, from its place.
Picture paint(int width, int height, const std::function<quint32(int, int)>& pixel) {
    Picture picture{width, height, {}};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            char be[4];
            qToBigEndian(pixel(x, y), be);
            picture.rgba.append(be, 4);
        }
    }
    return picture;
}

QByteArray expand(const IndexedPicture& indexed) {
    QByteArray rgba;
    for (const char index : indexed.indices)
        rgba.append(reinterpret_cast<const char*>(indexed.palette[quint8(index)].data()), 4);
    return rgba;
}

int distance(const Colour& c, int red, int green, int blue) {
    return (c[0] - red) * (c[0] - red) + (c[1] - green) * (c[1] - green) +
           (c[2] - blue) * (c[2] - blue);
}

} // namespace

class TestColourReduction : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void fewColoursExact_data();
    void fewColoursExact();
    void masked();
    void trueColour_data();
    void trueColour();
    void nearestColour();
    void mipSizes();
    void mipPixel_data();
    void mipPixel();
};

void TestColourReduction::fewColoursExact_data() {
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("masked");
    QTest::newRow("256 colours") << 256 << false;
    QTest::newRow("255 opaque colours, masked") << 255 << true;
}

// The palette is the picture's colours in the order of first use, after index 0 when masked.
void TestColourReduction::fewColoursExact() {
    QFETCH(int, count);
    QFETCH(bool, masked);
    // Colours spread over the cube, first met out of their order.
    const Picture picture = paint(64, 32, [count](int x, int y) {
        return quint32((x + 64 * y) * 37 % count) * 65521u << 8 | 0xFF;
    });
    const IndexedPicture reduced = reduceColours(picture, masked);
    QList<Colour> firstUse;
    if (masked)
        firstUse.append({0, 0, 0, 0});
    for (qsizetype i = 0; i < picture.rgba.size(); i += 4) {
        const auto* p = reinterpret_cast<const quint8*>(picture.rgba.constData() + i);
        if (!firstUse.contains(Colour{p[0], p[1], p[2], p[3]}))
            firstUse.append({p[0], p[1], p[2], p[3]});
    }
    QCOMPARE(reduced.palette, firstUse);
    QCOMPARE(expand(reduced), picture.rgba);
}

void TestColourReduction::masked() {
    // Alpha rises along each row and crosses 128 at its middle; colours far beyond 255.
    const Picture picture = paint(256, 64, [](int x, int y) {
        return quint32(x) << 24 | quint32(y * 4) << 16 | quint32(x ^ y) << 8 | quint32(x);
    });
    const IndexedPicture reduced = reduceColours(picture, true);
    QVERIFY(reduced.palette.size() <= 256);
    for (qsizetype i = 0; i < reduced.indices.size(); ++i) {
        const bool clear = quint8(picture.rgba[4 * i + 3]) < 128;
        QCOMPARE(reduced.indices[i] == 0, clear);
        QCOMPARE(reduced.palette[quint8(reduced.indices[i])][3], clear ? 0 : 255);
    }
}

void TestColourReduction::trueColour_data() {
    QTest::addColumn<Picture>("picture");
    QTest::addColumn<double>("floor");
    QTest::newRow("a smooth gradient") << paint(256, 256, [](int x, int y) {
        return quint32(x) << 24 | quint32(y) << 16 | quint32((x + y) / 2) << 8 | 0xFF;
    }) << 35.0;
    // Too close for the split to tell apart: most of the palette starts unused.
    QTest::newRow("4096 colours in 8 cells of the split") << paint(64, 64, [](int x, int y) {
        return quint32(x % 16) << 24 | quint32(y % 16) << 16 | quint32(x / 16 + 4 * (y / 16)) << 8 |
               0xFF;
    }) << 45.0;
}

// Every pixel on its nearest palette colour; a quality guard far below what the benchmark
// measures; the same bytes a second time.
void TestColourReduction::trueColour() {
    QFETCH(Picture, picture);
    QFETCH(double, floor);
    const IndexedPicture reduced = reduceColours(picture, false);
    QVERIFY(reduced.palette.size() <= 256);
    double squares = 0;
    for (qsizetype i = 0; i < reduced.indices.size(); ++i) {
        const auto* p = reinterpret_cast<const quint8*>(picture.rgba.constData() + 4 * i);
        int nearest = INT_MAX;
        for (const Colour& c : reduced.palette)
            nearest = std::min(nearest, distance(c, p[0], p[1], p[2]));
        QCOMPARE(distance(reduced.palette[quint8(reduced.indices[i])], p[0], p[1], p[2]), nearest);
        squares += nearest;
    }
    const double db = 10 * std::log10(255.0 * 255.0 * 3 * reduced.indices.size() / squares);
    QVERIFY2(db > floor, qPrintable(QString::number(db)));
    const IndexedPicture again = reduceColours(picture, false);
    QCOMPARE(again.palette, reduced.palette);
    QCOMPARE(again.indices, reduced.indices);
}

// Against trying every colour, on a palette with repeats (the lower index wins a tie), with and
// without guesses, and with index 0 left out.
void TestColourReduction::nearestColour() {
    std::mt19937 random(7);
    QList<Colour> palette;
    for (int i = 0; i < 200; ++i)
        palette.append(
            {quint8(random() % 64 * 4), quint8(random() % 64 * 4), quint8(random()), 255});
    palette.append(palette.mid(100, 50));
    for (const bool skipFirst : {false, true}) {
        const NearestColour nearest(palette, skipFirst);
        for (int q = 0; q < 2000; ++q) {
            const int r = int(random() % 256), g = int(random() % 256), b = int(random() % 256);
            int best = skipFirst ? 1 : 0;
            for (int i = best; i < palette.size(); ++i) {
                if (distance(palette[i], r, g, b) < distance(palette[best], r, g, b))
                    best = i;
            }
            QCOMPARE(nearest.find(r, g, b, q % 2 ? -1 : int(random() % palette.size())), best);
        }
    }
}

void TestColourReduction::mipSizes() {
    const IndexedPicture wide{256, 32, QByteArray(256 * 32, '\0'), {{1, 2, 3, 255}}};
    QList<QSize> sizes;
    for (const IndexedPicture& mip : makeMips(wide, false))
        sizes.append(QSize(mip.width, mip.height));
    QCOMPARE(sizes,
             (QList<QSize>{
                 {256, 32}, {128, 16}, {64, 8}, {32, 4}, {16, 2}, {8, 1}, {4, 1}, {2, 1}, {1, 1}}));
    QCOMPARE(makeMips({1, 1, QByteArray(1, '\0'), {{1, 2, 3, 255}}}, false).size(), 1);
}

void TestColourReduction::mipPixel_data() {
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("indices");
    QTest::addColumn<QList<Colour>>("palette");
    QTest::addColumn<bool>("masked");
    QTest::addColumn<int>("expected");
    const Colour clear{0, 0, 0, 0}, black{0, 0, 0, 255}, white{255, 255, 255, 255},
        grey{128, 128, 128, 255};
    // clang-format off
    QTest::newRow("the mean's nearest colour") << QSize(2, 2) << QByteArray("\1\2\2\1", 4)
        << QList<Colour>{{0, 0, 255, 255}, black, white, grey} << false << 3;
    QTest::newRow("a mean of .5 rounds up") << QSize(2, 2) << QByteArray("\0\0\1\1", 4)
        << QList<Colour>{{10, 0, 0, 255}, {11, 0, 0, 255}} << false << 1;
    QTest::newRow("2x1 where a side is 1") << QSize(2, 1) << QByteArray("\0\1", 2)
        << QList<Colour>{black, white, grey} << false << 2;
    QTest::newRow("1x2 likewise") << QSize(1, 2) << QByteArray("\1\0", 2)
        << QList<Colour>{black, white, grey} << false << 2;
    QTest::newRow("3 of 4 transparent stay so") << QSize(2, 2) << QByteArray("\0\0\1\0", 4)
        << QList<Colour>{clear, white} << true << 0;
    QTest::newRow("2 of 4: the opaque ones' mean") << QSize(2, 2) << QByteArray("\0\1\0\1", 4)
        << QList<Colour>{clear, {100, 0, 0, 255}, {50, 0, 0, 255}} << true << 1;
    QTest::newRow("opaque never on 0") << QSize(2, 2) << QByteArray("\1\2\2\1", 4)
        << QList<Colour>{{100, 100, 100, 0}, black, white} << true << 2;
    // clang-format on
}

void TestColourReduction::mipPixel() {
    QFETCH(QSize, size);
    QFETCH(QByteArray, indices);
    QFETCH(QList<Colour>, palette);
    QFETCH(bool, masked);
    QFETCH(int, expected);
    const QList<IndexedPicture> mips =
        makeMips({size.width(), size.height(), indices, palette}, masked);
    QCOMPARE(mips.size(), 2);
    QCOMPARE(mips[1].indices, QByteArray(1, char(expected)));
    QCOMPARE(mips[1].palette, palette);
}

QTEST_APPLESS_MAIN(TestColourReduction)
#include "tst_colour_reduction.moc"
