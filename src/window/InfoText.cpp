#include "window/InfoText.h"

namespace quorrel {

QString buildInfoText() {
    const QString crLf = QStringLiteral("\r\n");
    return QStringLiteral("Quorrel File Generator") + crLf + crLf + QStringLiteral("Desc:") + crLf +
           QStringLiteral("Quorrel can be used to create an INT file from the UTX file created "
                          "after using unrealed to compile skin textures.") +
           crLf + crLf + QStringLiteral("Format:") + crLf +
           QStringLiteral("If the image files you saved into the UTX contain the skin name") +
           QStringLiteral("-ie. blah4Name- then this prog should create the descriptions for the "
                          "skin in the INT preview.") +
           crLf + crLf + QStringLiteral("Bugs:") + crLf +
           QStringLiteral("Yup its probably got plenty of bugs since it was written pretty "
                          "crudely. This prog was only tested with unrealed after the 4.02 patch "
                          "for unreal. Any questions or problems email me at") +
           crLf + QStringLiteral("quorrel@example.org");
}

} // namespace quorrel
