#include "qt/app/converter_app.h"

#include "qt/window/converter_dialog.h"

int ConverterApp::run() {
    ConverterDialog dialog(catalog_, services_);
    dialog.setPreload(preload_);
    if (!dialog.start()) return 1;
    dialog.exec();
    return 0;
}
