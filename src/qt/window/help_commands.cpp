// Help > Contents, F1 and the help window of the converter window.
#include "qt/help/help_window.h"
#include "qt/window/converter_dialog.h"

#include <QDialog>
#include <QShortcut>

ConverterDialog::~ConverterDialog() = default;

void ConverterDialog::openHelp() {
    openHelpPage(QString());
}

void ConverterDialog::openHelpPage(const QString& page) {
    if (!helpWindow_) {
        // A missing help.chm, or a file that is no help file: nothing happens, and nothing is
        // said. A damaged one: a message says so.
        helpWindow_ = HelpWindow::open(model_.helpPath(), services_, this);
        if (!helpWindow_) return;
    }
    helpWindow_->showPage(page);
}

void ConverterDialog::offerHelp(QDialog& dialog, std::string_view page) {
    // An application-modal dialog would block the help window it opens; a window-modal one
    // blocks only this window.
    dialog.setWindowModality(Qt::WindowModal);
    auto* key = new QShortcut(QKeySequence::HelpContents, &dialog);
    connect(key, &QShortcut::activated, this,
            [this, page] { openHelpPage(QString::fromLatin1(page.data(), page.size())); });
}
