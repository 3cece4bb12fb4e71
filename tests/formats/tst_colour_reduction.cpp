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
    void mips();
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

// Sizes, and every pixel of the next level by the rule, on a picture of many different blocks:
// the nearest-colour search and what it remembers against trying every colour.
void TestColourReduction::mips() {
    std::mt19937 random(11);
    IndexedPicture wide{256, 32, {}, {}};
    for (int i = 0; i < 200; ++i)
        wide.palette.append({quint8(random()), quint8(random()), quint8(random()), 255});
    wide.palette.append(wide.palette.mid(0, 56)); // a tie goes to the lower index
    for (int i = 0; i < 256 * 32; ++i)
        wide.indices.append(char(random()));
    const QList<IndexedPicture> mips = makeMips(wide, false);
    QList<QSize> sizes;
    for (const IndexedPicture& mip : mips)
        sizes.append(QSize(mip.width, mip.height));
    QCOMPARE(sizes,
             (QList<QSize>{
                 {256, 32}, {128, 16}, {64, 8}, {32, 4}, {16, 2}, {8, 1}, {4, 1}, {2, 1}, {1, 1}}));
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 128; ++x) {
            int mean[3] = {2, 2, 2};
            for (const int at : {0, 1, 256, 257}) {
                for (int c = 0; c < 3; ++c)
                    mean[c] += wide.palette[quint8(wide.indices[y * 512 + x * 2 + at])][c];
            }
            int best = 0;
            for (int i = 0; i < 256; ++i) {
                const auto d = [&](int j) {
                    return distance(wide.palette[j], mean[0] / 4, mean[1] / 4, mean[2] / 4);
                };
                best = d(i) < d(best) ? i : best;
            }
            QCOMPARE(quint8(mips[1].indices[y * 128 + x]), best);
        }
    }
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
