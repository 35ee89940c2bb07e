// The report of the current conversion: to the clipboard, to a file and to a printer.
#include "catalog/whole_file_writer.h"
#include "commands/report_text.h"
#include "window/converter_dialog.h"
#include "window/selection_logic.h"
#include "window/ui_services.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrinter>

void ConverterDialog::buildReport(QString& text) const {
    text = QString::fromStdString(buildReportText(
        selection_.currentConversion != nullptr, inputText.toStdString(),
        inputUnitLabel.toStdString(), resultText.toStdString(), outputUnitLabel.toStdString()));
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
    QString report;
    buildReport(report);
    if (!writeWholeFile(QFile::encodeName(path).toStdString(),
                        reportFileBytes(report.toStdString(), selection_.currentConversion))) {
        const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
        services_.showMessage(this, UiServices::Icon::Stop, QStringLiteral("Velmora"),
                              tr("The file %1 could not be written.").arg(shown));
    }
}

void ConverterDialog::printReport() {
    QPrinter printer(QPrinter::HighResolution);
    if (!services_.choosePrinter(this, printer)) return;
    QPainter painter;
    if (!painter.begin(&printer)) {
        // The job never started: nothing to end or abort, but the user must hear of it.
        showPrintFailure(printer);
        return;
    }
    QString text;
    buildReport(text);
    // Lines go at device coordinates, one line height apart; the text's top is at y, as the
    // native text output places it.
    const int h = painter.fontMetrics().height();
    const int ascent = painter.fontMetrics().ascent();
    int y = 400;
    for (qsizetype lineFeed; (lineFeed = text.indexOf(u'\n')) >= 0;) {
        painter.drawText(500, y + ascent, text.left(std::max<qsizetype>(0, lineFeed - 1)));
        text = text.mid(lineFeed + 1);
        y += h;
    }
    painter.drawText(500, y + ascent, text);
    if (printer.printerState() == QPrinter::Error) {
        printer.abort();
        showPrintFailure(printer);
    } else if (!painter.end()) {
        showPrintFailure(printer);
    }
}

void ConverterDialog::showPrintFailure(const QPrinter& printer) {
    QString text = tr("The report could not be printed: no printer is set up.");
    if (!printer.outputFileName().isEmpty())
        text = tr("The report could not be printed to the file %1.")
                   .arg(QDir::toNativeSeparators(printer.outputFileName()));
    else if (!printer.printerName().isEmpty())
        text = tr("The report could not be printed on %1.").arg(printer.printerName());
    services_.showMessage(this, UiServices::Icon::Stop, QStringLiteral("Velmora"), text);
}
