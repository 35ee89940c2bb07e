#include "catalog/catalog_preload.h"
#include "window/converter_app.h"
#include "window/ui_services.h"

#include <QApplication>

int main(int argc, char** argv) {
    // The catalog loads while the toolkit starts.
    CatalogPreload preload(CatalogPreload::workingCatalogPath());
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.1"));
    QtUiServices services;
    ConverterApp converter(services);
    converter.setPreload(&preload);
    return converter.InitInstance();
}
