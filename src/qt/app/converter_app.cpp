#include "qt/app/converter_app.h"

#include "qt/window/converter_dialog.h"

#include <QTimer>

int ConverterApp::run() {
    ConverterDialog dialog(catalog_, services_);
    dialog.setPreload(preload_);
    if (!dialog.start()) return 1;
    // Once the window is on the screen, so that Find opens centred over it.
    if (openFind_) QTimer::singleShot(0, &dialog, &ConverterDialog::findConversion);
    dialog.exec();
    return 0;
}
