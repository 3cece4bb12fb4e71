#include "window/FormStyle.h"

namespace quorrel::style {

QFont fontFor(const QString& family, qreal points, QFont::Weight weight) {
    QFont font;
    font.setFamilies({family, QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Sans Serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setWeight(weight);
    return font;
}

QFont smallFonts() {
    return fontFor(QStringLiteral("Small Fonts"), 6.75, QFont::Normal);
}

const QString& dataControlStyle() {
    static const QString style = QStringLiteral(
        "#Text1, #Text2, #Text3, #Text6, #List2 { background: black; color: rgb(0, 192, 0); "
        "border: 1px solid black; selection-background-color: rgb(0, 192, 0); "
        "selection-color: black; }"
        // Frame1's border in a grey that shows on the dark window, its caption on the top line.
        "#Frame1 { border: 1px solid rgb(144, 144, 144); margin-top: 0.6em; padding-top: 0.6em; } "
        "#Frame1::title { subcontrol-origin: margin; subcontrol-position: top left; left: 6px; "
        "padding: 0px 2px; color: rgb(0, 192, 0); }");
    return style;
}

} // namespace quorrel::style
