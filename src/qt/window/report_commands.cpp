// The report of the current conversion: to the clipboard, to a file and to a printer.
#include "converter/report_text.h"
#include "converter/window_texts.h"
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
    QStringList filters;
    for (const FileFilter& filter : reportFileFilters)
        filters << QString::fromLatin1(filter.name.data(), filter.name.size());
    const QString path = services_.chooseSaveFile(
        this, QString::fromLatin1(reportFileSuffix.data(), reportFileSuffix.size()), filters,
        [this](const QString& chosen) {
            return QString::fromStdString(
                model_.mayHoldReport(QFile::encodeName(chosen).toStdString()).why());
        });
    if (path.isEmpty()) return;
    const Status saved = model_.saveReport(
        QFile::encodeName(path).toStdString(),
        QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()).toStdString());
    if (!saved)
        services_.showMessage(this, UiServices::Icon::Stop, QStringLiteral("Velmora"),
                              QString::fromStdString(saved.why()));
}

void ConverterDialog::printReport() {
    QString failure;
    if (PrintSupport* support = loadPrintSupport(&failure)) {
        QStringList lines;
        for (const std::string& line : reportPrintLines(model_.report()))
            lines << QString::fromStdString(line);
        failure = support->printReport(this, services_, lines);
    } else {
        failure = tr("The report could not be printed: the print support could not be loaded (%1).")
                      .arg(failure);
    }
    if (!failure.isEmpty())
        services_.showMessage(this, UiServices::Icon::Stop, QStringLiteral("Velmora"), failure);
}
