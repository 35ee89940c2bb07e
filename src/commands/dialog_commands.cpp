// The Find Conversion, Options, Precision and About commands of the converter window.
#include "commands/about_dialog.h"
#include "commands/find_dialog.h"
#include "commands/options_dialog.h"
#include "commands/precision_dialog.h"
#include "search/unit_names.h"
#include "window/converter_dialog.h"
#include "window/tab_strip.h"

#include <QLineEdit>

void ConverterDialog::findConversion() {
    // Read at each opening, so that names added to the file meanwhile count.
    std::string refusal;
    FindDialog dialog(catalog_, readUnitNames(appDirectory_ + "names.txt", &refusal), this);
    if (!refusal.empty()) dialog.setNamesNote(QString::fromStdString(refusal + "."));
    offerHelp(dialog, "menus.html#find");
    if (dialog.exec() != QDialog::Accepted || !dialog.chosen) return;
    // A value typed with the units goes into the input as if typed there.
    if (!dialog.chosenValue.isEmpty()) inputField_->setText(dialog.chosenValue);
    // The choice is said whole below, its category with it.
    choosing_ = true;
    showConversion(dialog.chosen->tab, *dialog.chosen->conversion);
    inputSelectedByFind_ = true;
    choosing_ = false;
    announceChoice(QString::fromStdString(matchText(*dialog.chosen)));
}

void ConverterDialog::editOptions() {
    // Owned by the window, as every secondary dialog is, so it opens centred over it.
    OptionsDialog dialog(this);
    offerHelp(dialog, "menus.html#options");
    dialog.catalog = &catalog_;
    if (dialog.exec() != QDialog::Accepted || !dialog.changed) return;
    // The row count the current layout stands for, read before the tabs go, at the smallest
    // width the layout is made for.
    foldExtraSpace();
    tabRows_ = tabs_->shownRowCount();
    clearTabs();
    fillTabsAndSelectFirst();
    // A result shown must belong to the units now shown beside it, and text typed while no
    // conversion was current gets its result; with neither, none shown stays none.
    if (!resultText.isEmpty() || !inputText.isEmpty()) recompute();
    repaint();
    catalogChanged_ = 1;
}

void ConverterDialog::editPrecision() {
    PrecisionDialog dialog(this);
    offerHelp(dialog, "menus.html#precision");
    dialog.value = precision_;
    if (dialog.exec() != QDialog::Accepted) return;
    precision_ = dialog.value;
    recompute();
}

void ConverterDialog::showAbout() {
    AboutDialog dialog({QString::fromLatin1(vendorSite), [this] { openVendorSite(); }},
                       {QString::fromLatin1(secondSite), [this] { openSecondSite(); }}, this);
    offerHelp(dialog, "menus.html#about");
    dialog.exec();
}
