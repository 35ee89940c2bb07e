#include "window/ui_services.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

void QtUiServices::showMessage(QWidget* parent, Icon, const QString& caption, const QString& text) {
    // Both the error and the stop icon are the critical icon on every platform Qt knows.
    QMessageBox::critical(parent, caption, text);
}

QString QtUiServices::chooseSaveFile(QWidget* parent, const QString& defaultSuffix,
                                     const QStringList& filters) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

void setUpPrintDialog(QPrintDialog& dialog, QPrinter& printer) {
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty()) folder = QDir::homePath();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir(folder).filePath(QStringLiteral("Velmora report.pdf")));
    }
}

bool QtUiServices::choosePrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    setUpPrintDialog(dialog, printer);
    return dialog.exec() == QDialog::Accepted;
}

void QtUiServices::openUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}
