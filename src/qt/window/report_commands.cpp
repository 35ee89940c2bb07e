// The report of the current conversion: to the clipboard, to a file and to a printer.
#include "qt/services/print_support.h"
#include "qt/services/ui_services.h"
#include "qt/window/converter_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>

void ConverterDialog::buildReport(QString& text) const {
    text = QString::fromStdString(model_.report());
}

void ConverterDialog::copyReport() {
    QString report;
    buildReport(report);
    QApplication::clipboard()->setText(report);
}

void ConverterDialog::saveReport() {
    const QString path = services_.chooseSaveFile(
        this, QStringLiteral("cnv"),
        {QStringLiteral("TextFiles (*.txt)"), QStringLiteral("All Files (*.*)")});
    if (path.isEmpty()) return;
    const std::string failure = model_.saveReport(
        QFile::encodeName(path).toStdString(),
        QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString());
    if (!failure.empty())
        services_.showMessage(this, UiServices::Icon::Stop, QStringLiteral("Velmora"),
                              QString::fromStdString(failure));
}

void ConverterDialog::printReport() {
    QString failure;
    if (PrintSupport* support = loadPrintSupport(&failure)) {
        QString text;
        buildReport(text);
        failure = support->printReport(this, services_, text);
    } else {
        failure = tr("The report could not be printed: the print support could not be loaded (%1).")
                      .arg(failure);
    }
    if (!failure.isEmpty())
        services_.showMessage(this, UiServices::Icon::Stop, QStringLiteral("Velmora"), failure);
}
