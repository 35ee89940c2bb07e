#include "window/converter_app.h"
#include "window/ui_services.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.1"));
    QtUiServices services;
    ConverterApp converter(services);
    return converter.InitInstance();
}
