// Swapping the From and To units, and copying the result alone.
#include "catalog/catalog.h"
#include "catalog/display_text.h"
#include "window/converter_dialog.h"
#include "window/selection_logic.h"
#include "window/tab_strip.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

void ConverterDialog::copyResult() {
    if (!selection_.currentConversion || resultText.isEmpty()) return;
    QApplication::clipboard()->setText(
        resultText + QLatin1Char(' ') +
        QString::fromStdString(toDisplayText(selection_.currentConversion->toUnit())));
}

void ConverterDialog::swapUnits() {
    if (!selection_.currentCategory || !selection_.currentConversion) return;
    const Conversion* reverse =
        reverseConversion(*selection_.currentCategory, *selection_.currentConversion);
    if (!reverse) return;
    // The value stays where it is, and so does the focus: only the units change places.
    QWidget* focus = focusWidget();
    showConversion(tabs_->currentIndex(), *reverse);
    inputField_->deselect();
    if (focus) focus->setFocus(Qt::OtherFocusReason);
}
