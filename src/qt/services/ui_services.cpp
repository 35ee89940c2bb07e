#include "qt/services/ui_services.h"

#include "qt/services/print_support.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>

void QtUiServices::showMessage(QWidget* parent, Icon, const QString& caption, const QString& text) {
    // Both the error and the stop icon are the critical icon on every platform Qt knows.
    QMessageBox::critical(parent, caption, text);
}

QString QtUiServices::chooseSaveFile(QWidget* parent, const QString& defaultSuffix,
                                     const QStringList& filters, const PathRefusal& refusal) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setNameFilters(filters);
    // The same dialog comes back after a refusal, in its folder and with the name typed.
    while (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        const QString path = dialog.selectedFiles().constFirst();
        const QString why = refusal ? refusal(path) : QString();
        if (why.isEmpty()) return path;
        QMessageBox::warning(&dialog, dialog.windowTitle(), why);
    }
    return {};
}

bool QtUiServices::choosePrinter(QWidget* parent, QPrinter& printer) {
    // A printer exists only once the print plugin is loaded.
    PrintSupport* support = loadPrintSupport();
    return support && support->choosePrinter(parent, printer);
}

void QtUiServices::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}
