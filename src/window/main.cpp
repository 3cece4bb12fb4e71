#include "window/Form1.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorrel File Generator"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.QuorrelFileGenerator"));
    quorrel::Form1 form;
    form.show();
    return QApplication::exec();
}
