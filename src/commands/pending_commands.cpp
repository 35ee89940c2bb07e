// Menu commands whose dialogs come next; the menu already offers them.
#include "window/converter_dialog.h"

void ConverterDialog::editOptions() {}
void ConverterDialog::editPrecision() {}
void ConverterDialog::showAbout() {}
