#include "window/InfoText.h"
#include "window/ResizeLayout.h"

#include <QtTest>

#include <limits>
#include <map>

using namespace quorrel;
using C = LayoutControl;

namespace {

// Keeps every value exactly as set: no snapping to pixels.
class PlainTarget : public LayoutTarget {
public:
    float W = 5295, H = 4065;
    std::map<C, float> widths{{C::Frame1, 4995},   {C::Text6, 4815},    {C::Picture1, 165},
                              {C::Text4, 4875},    {C::Command1, 1545}, {C::Command2, 1545},
                              {C::Command3, 1545}, {C::Command4, 4995}};
    std::map<C, float> heights{{C::Frame1, 2385},  {C::Text6, 2055},   {C::Picture1, 165},
                               {C::Text4, 3105},   {C::Command1, 255}, {C::Command2, 255},
                               {C::Command3, 255}, {C::Command4, 255}};
    std::map<C, float> tops{{C::Frame1, 930},    {C::Text6, 1170},    {C::Picture1, 60},
                            {C::Text4, 30},      {C::Command1, 3360}, {C::Command2, 3360},
                            {C::Command3, 3360}, {C::Command4, 3360}};

    float outerWidth() const override { return W; }
    float outerHeight() const override { return H; }
    float width(C c) const override { return widths.at(c); }
    float height(C c) const override { return heights.at(c); }
    float top(C c) const override { return tops.at(c); }
    void setWidth(C c, float v) override { widths[c] = v; }
    void setHeight(C c, float v) override { heights[c] = v; }
    void setTop(C c, float v) override { tops[c] = v; }
};

} // namespace

class TestLayout : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void marginsAtLoad();
    void resize_data();
    void resize();
    void tooSmallClampsAtZero();
    void unusableValuesStopTheLayout_data();
    void unusableValuesStopTheLayout();
    void infoText();
};

void TestLayout::marginsAtLoad() {
    const LayoutMargins m = measureMargins(PlainTarget());
    QCOMPARE(m.frameWidth, 300.f);
    QCOMPARE(m.frameHeight, 1680.f);
    QCOMPARE(m.textHeight, 2010.f);
}

void TestLayout::resize_data() {
    QTest::addColumn<float>("W");
    QTest::addColumn<float>("H");
    QTest::addColumn<QList<float>>("expected"); // Frame1 w h, Text6 w h, Picture1 w h, Text4 w h,
                                                // All Done w top, buttons top
    QTest::newRow("first resize at load size")
        << 5295.f << 4065.f
        << QList<float>{4995, 2385, 4815, 2055, 4995, 3265, 4895, 3165, 5015, 3375, 3365};
    QTest::newRow("enlarged") << 6295.f << 5065.f
                              << QList<float>{5995, 3385, 5815, 3055, 5995, 4265,
                                              5895, 4165, 6015, 4375, 4365};
}

void TestLayout::resize() {
    QFETCH(float, W);
    QFETCH(float, H);
    QFETCH(QList<float>, expected);
    PlainTarget t;
    const LayoutMargins m = measureMargins(t);
    t.W = W;
    t.H = H;
    QVERIFY(applyLayout(t, m));
    const QList<float> actual{t.width(C::Frame1), t.height(C::Frame1),  t.width(C::Text6),
                              t.height(C::Text6), t.width(C::Picture1), t.height(C::Picture1),
                              t.width(C::Text4),  t.height(C::Text4),   t.width(C::Command4),
                              t.top(C::Command4), t.top(C::Command1)};
    QCOMPARE(actual, expected);
    QCOMPARE(t.top(C::Command2), expected.last());
    QCOMPARE(t.top(C::Command3), expected.last());
    QCOMPARE(t.width(C::Command4) - t.width(C::Picture1), 20.f);
    // Nothing else moves.
    QCOMPARE(t.top(C::Frame1), 930.f);
    QCOMPARE(t.width(C::Command1), 1545.f);
}

void TestLayout::tooSmallClampsAtZero() {
    PlainTarget t;
    const LayoutMargins m = measureMargins(t);
    t.W = 100;
    t.H = 50;
    QVERIFY(applyLayout(t, m));
    for (C c : {C::Frame1, C::Text6, C::Picture1, C::Text4, C::Command4}) {
        QCOMPARE(t.width(c), 0.f);
        QCOMPARE(t.height(c) >= 0, true);
    }
    QCOMPARE(t.top(C::Command1), 930.f + 50.f);
}

void TestLayout::unusableValuesStopTheLayout_data() {
    QTest::addColumn<float>("W");
    QTest::addColumn<float>("H");
    QTest::addColumn<float>("frameWidth"); // Frame1's width afterwards
    QTest::addColumn<float>("frameHeight");
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("infinite width stops at step 1") << inf << 4065.f << 4995.f << 2385.f;
    QTest::newRow("NaN height stops at step 2") << 6295.f << nan << 5995.f << 2385.f;
    QTest::newRow("overflow stops at step 1")
        << -std::numeric_limits<float>::max() << 4065.f << 4995.f << 2385.f;
}

void TestLayout::unusableValuesStopTheLayout() {
    QFETCH(float, W);
    QFETCH(float, H);
    QFETCH(float, frameWidth);
    QFETCH(float, frameHeight);
    PlainTarget t;
    LayoutMargins m = measureMargins(t);
    if (W < 0) // -max - 300 still rounds to -max; a margin of +max overflows
        m.frameWidth = std::numeric_limits<float>::max();
    t.W = W;
    t.H = H;
    QVERIFY(!applyLayout(t, m));
    QCOMPARE(t.width(C::Frame1), frameWidth);
    QCOMPARE(t.height(C::Frame1), frameHeight);
    QCOMPARE(t.top(C::Command1), 3360.f); // the last steps never ran
}

void TestLayout::infoText() {
    const QStringList lines = buildInfoText().split(QStringLiteral("\r\n"));
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines[0], QStringLiteral("Quorrel File Generator"));
    QCOMPARE(lines[1], QString());
    QCOMPARE(lines[2], QStringLiteral("Desc:"));
    QCOMPARE(lines[5], QStringLiteral("Format:"));
    QVERIFY(lines[6].contains(QStringLiteral("contain the skin name-ie. blah4Name- then")));
    QCOMPARE(lines[8], QStringLiteral("Bugs:"));
    QVERIFY(lines[9].endsWith(QStringLiteral("Any questions or problems email me at")));
    QCOMPARE(lines[10], QStringLiteral("quorrel@example.org"));
    QVERIFY(!buildInfoText().endsWith(u'\n'));
    QCOMPARE(buildInfoText().count(QStringLiteral("\r\n")), buildInfoText().count(u'\n'));
}

QTEST_GUILESS_MAIN(TestLayout)
#include "tst_layout.moc"
