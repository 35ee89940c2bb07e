// The Find Conversion, Options, Precision and About commands of the converter window.
#include "converter/window_texts.h"
#include "qt/dialogs/about_dialog.h"
#include "qt/dialogs/find_dialog.h"
#include "qt/dialogs/options_dialog.h"
#include "qt/dialogs/precision_dialog.h"
#include "qt/widgets/tab_strip.h"
#include "qt/window/converter_dialog.h"

#include <QLineEdit>

void ConverterDialog::findConversion() {
    const ConverterModel::FindNames names = model_.namesForFind();
    FindDialog dialog(catalog_, names.names, model_.numberFormat(), this);
    dialog.setNamesNote(QString::fromStdString(names.note));
    dialog.setKeptRows(model_.keptFindRows());
    offerHelp(dialog, helpPage::find);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosen()) return;
    // A value typed with the units goes into the input as if typed there. The choice is said
    // whole below, its category with it.
    choosing_ = true;
    showConversion(dialog.chosen()->tab, *dialog.chosen()->conversion, dialog.chosenValue());
    inputSelectedByFind_ = true;
    choosing_ = false;
    announceChoice(QString::fromStdString(matchText(*dialog.chosen())));
}

void ConverterDialog::editOptions() {
    // Owned by the window, as every secondary dialog is, so it opens centred over it.
    OptionsDialog dialog(this);
    offerHelp(dialog, helpPage::options);
    dialog.setRows(model_.optionRows());
    if (dialog.exec() != QDialog::Accepted) return;
    // The row count the current layout stands for, read while the strip still shows the old
    // tabs, at the smallest width the layout is made for.
    foldExtraSpace();
    const ConverterModel::OptionsApplied applied =
        model_.applyOptions(dialog.rows(), tabs_->shownRowCount());
    if (!applied.changed) {
        spreadExtraSpace();
        return;
    }
    fillTabsAndSelectFirst();
    if (applied.recomputed) resultComputed();
    repaint();
}

void ConverterDialog::editPrecision() {
    PrecisionDialog dialog(this);
    offerHelp(dialog, helpPage::precision);
    dialog.setValue(model_.precision());
    dialog.setNumberStyle(model_.viewChoices().numbers);
    if (dialog.exec() != QDialog::Accepted) return;
    ViewChoices choices = model_.viewChoices();
    choices.numbers = dialog.numberStyle();
    model_.setViewChoices(choices);
    model_.setPrecision(dialog.value());
    syncView();
    resultComputed();
}

void ConverterDialog::showAbout() {
    AboutDialog dialog({QString::fromLatin1(vendorSite), [this] { openVendorSite(); }},
                       {QString::fromLatin1(secondSite), [this] { openSecondSite(); }}, this);
    offerHelp(dialog, helpPage::about);
    dialog.exec();
}
