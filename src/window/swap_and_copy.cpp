// Swapping the From and To units, and copying the result alone.
#include "catalog/catalog.h"
#include "catalog/display_text.h"
#include "window/converter_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

void ConverterDialog::copyResult() {
    if (!selection_.currentConversion || model_.resultText.empty()) return;
    QApplication::clipboard()->setText(QString::fromStdString(
        model_.resultText + " " + toDisplayText(selection_.currentConversion->toUnit())));
}

void ConverterDialog::swapUnits() {
    // The value stays where it is, and so does the focus: only the units change places.
    QWidget* focus = focusWidget();
    if (!model_.swapUnits()) return;
    syncView();
    resultComputed();
    inputField_->setFocus(Qt::OtherFocusReason);
    inputField_->selectAll();
    inputField_->deselect();
    if (focus) focus->setFocus(Qt::OtherFocusReason);
}
