#include "core/GeneratorState.h"
#include "core/IntText.h"

#include <QtTest>

using namespace quorrel;

namespace {

QString lines(const QStringList& objectLines) {
    QString text = QStringLiteral("[public]\r\n\r\n");
    for (const QString& line : objectLines)
        text += line + QStringLiteral("\r\n");
    return text;
}

} // namespace

class TestIntText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void build_data();
    void build();
    void makeIntReplacesTheText();
};

void TestIntText::build_data() {
    QTest::addColumn<QString>("package");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("pictures");
    QTest::addColumn<QString>("text");

    QTest::newRow("tiger skin")
        << "SoldierSkins_Tiger"
        << "Tiger Stripes" << QStringList{"Tiger1", "Tiger2", "Tiger3", "Tiger4", "Tiger4Grin"}
        << lines({
               R"(Object=(Name=SoldierSkins_Tiger.Tiger1,Class=Texture,Description="Tiger Stripes"))",
               "Object=(Name=SoldierSkins_Tiger.Tiger2,Class=Texture)",
               "Object=(Name=SoldierSkins_Tiger.Tiger3,Class=Texture)",
               "Object=(Name=SoldierSkins_Tiger.Tiger4,Class=Texture)",
               R"(Object=(Name=SoldierSkins_Tiger.Tiger4Grin,Class=Texture,Description="Grin"))",
           });
    QTest::newRow("picture 0 takes the skin description")
        << "P"
        << "Skin" << QStringList{"a4b"}
        << lines({R"(Object=(Name=P.a4b,Class=Texture,Description="Skin"))"});
    QTest::newRow("face rules") << "P"
                                << "D" << QStringList{"first", "x4y_z", "44a", "4a", "a4", "plain"}
                                << lines({R"(Object=(Name=P.first,Class=Texture,Description="D"))",
                                          "Object=(Name=P.x4y_z,Class=Texture)",
                                          R"(Object=(Name=P.44a,Class=Texture,Description="4a"))",
                                          R"(Object=(Name=P.4a,Class=Texture,Description="a"))",
                                          "Object=(Name=P.a4,Class=Texture)",
                                          "Object=(Name=P.plain,Class=Texture)"});
    QTest::newRow("empty picture list")
        << "Pkg"
        << "Desc" << QStringList()
        << lines({R"(Object=(Name=Pkg.,Class=Texture,Description="Desc"))"});
    QTest::newRow("nothing escaped")
        << "a\"b,c"
        << "say \"hi\"\r\nthere" << QStringList{"p"}
        << lines({"Object=(Name=a\"b,c.p,Class=Texture,Description=\"say \"hi\"\r\nthere\")"});
    QTest::newRow("empty package and description")
        << ""
        << "" << QStringList{"x"} << lines({R"(Object=(Name=.x,Class=Texture,Description=""))"});
}

void TestIntText::build() {
    QFETCH(QString, package);
    QFETCH(QString, description);
    QFETCH(QStringList, pictures);
    QFETCH(QString, text);
    QCOMPARE(buildIntText(package, description, pictures), text);
}

void TestIntText::makeIntReplacesTheText() {
    GeneratorState state;
    state.setPackageName(QStringLiteral("M_S"));
    state.setPictures({"b", "a4c"});
    state.setIntText(QStringLiteral("the user's own edits"));
    MakeInt(state);
    const QString first = state.intText();
    QCOMPARE(first, lines({R"(Object=(Name=M_S.a4c,Class=Texture,Description="M_S"))",
                           "Object=(Name=M_S.b,Class=Texture)"}));
    MakeInt(state);
    QCOMPARE(state.intText(), first);
}

QTEST_GUILESS_MAIN(TestIntText)
#include "tst_inttext.moc"
