#include "qt/app/converter_app.h"

#include "qt/window/converter_dialog.h"

int ConverterApp::InitInstance() {
    ConverterDialog dialog(catalog_, services_);
    dialog.setPreload(preload_);
    if (!dialog.OnInitDialog()) return 1;
    dialog.exec();
    return 0;
}
