// Swapping the From and To units, and copying the result alone.
#include "qt/window/converter_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>

void ConverterDialog::copyResult() {
    const std::string result = model_.copiedResult();
    if (!result.empty()) QApplication::clipboard()->setText(QString::fromStdString(result));
}

void ConverterDialog::copyExactValue() {
    if (!model_.exactResult().empty()) QApplication::clipboard()->setText(exactResult());
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
