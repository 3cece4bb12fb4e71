#include "window/ResizeLayout.h"

#include <QtTest>

#include <limits>

using namespace quorrel;
using C = LayoutControl;

namespace {

// Keeps every value exactly as set, no snapping to pixels: Frame1, Text6, Picture1, Text4, then
// the four buttons, at their designed sizes.
class PlainTarget : public LayoutTarget {
public:
    float W = 5295, H = 4065;
    float widths[8] = {4995, 4815, 165, 4875, 1545, 1545, 1545, 4995};
    float heights[8] = {2385, 2055, 165, 3105, 255, 255, 255, 255};
    float tops[8] = {930, 1170, 60, 30, 3360, 3360, 3360, 3360};

    float outerWidth() const override { return W; }
    float outerHeight() const override { return H; }
    float width(C c) const override { return widths[int(c)]; }
    float height(C c) const override { return heights[int(c)]; }
    float top(C c) const override { return tops[int(c)]; }
    void setWidth(C c, float v) override { widths[int(c)] = v; }
    void setHeight(C c, float v) override { heights[int(c)] = v; }
    void setTop(C c, float v) override { tops[int(c)] = v; }
};

} // namespace

class TestLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void unusableValues_data();
    void unusableValues();
};

void TestLayout::unusableValues_data() {
    QTest::addColumn<float>("W");
    QTest::addColumn<float>("H");
    QTest::addColumn<bool>("applied");
    QTest::addColumn<QList<float>>("after"); // Frame1 w h, Picture1 w, buttons' top
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("too small clamps at zero")
        << 100.f << 50.f << true << QList<float>{0, 0, 0, 980};
    QTest::newRow("infinite width stops at step 1")
        << inf << 4065.f << false << QList<float>{4995, 2385, 165, 3360};
    QTest::newRow("NaN height stops at step 2")
        << 6295.f << nan << false << QList<float>{5995, 2385, 165, 3360};
    QTest::newRow("overflow stops at step 1") << -std::numeric_limits<float>::max() << 4065.f
                                              << false << QList<float>{4995, 2385, 165, 3360};
}

// Catches a layout that applies an infinite, NaN or negative size, or that goes on past it.
void TestLayout::unusableValues() {
    QFETCH(float, W);
    QFETCH(float, H);
    QFETCH(bool, applied);
    QFETCH(QList<float>, after);
    PlainTarget t;
    LayoutMargins m = measureMargins(t);
    if (W < 0) // -max - 300 still rounds to -max; a margin of +max overflows
        m.frameWidth = std::numeric_limits<float>::max();
    t.W = W;
    t.H = H;
    QCOMPARE(applyLayout(t, m), applied);
    QCOMPARE((QList<float>{t.width(C::Frame1), t.height(C::Frame1), t.width(C::Picture1),
                           t.top(C::Command1)}),
             after);
}

QTEST_GUILESS_MAIN(TestLayout)
#include "tst_layout.moc"
