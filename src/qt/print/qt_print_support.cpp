#include "qt/print/qt_print_support.h"

#include "converter/report_text.h"
#include "qt/services/ui_services.h"

#include <QCoreApplication>
#include <QDir>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QStandardPaths>

namespace {

// The messages belong to the converter window, where they are shown.
QString tr(const char* text) {
    return QCoreApplication::translate("ConverterDialog", text);
}

QString failureText(const QPrinter& printer) {
    if (!printer.outputFileName().isEmpty())
        return tr("The report could not be printed to the file %1.")
            .arg(QDir::toNativeSeparators(printer.outputFileName()));
    if (!printer.printerName().isEmpty())
        return tr("The report could not be printed on %1.").arg(printer.printerName());
    return tr("The report could not be printed: no printer is set up.");
}

} // namespace

QString QtPrintSupport::printReport(QWidget* parent, UiServices& services,
                                    const QStringList& lines) {
    QPrinter printer(QPrinter::HighResolution);
    if (!services.choosePrinter(parent, printer)) return {};
    QPainter painter;
    // A job that never started has nothing to end or abort, but the user must hear of it.
    if (!painter.begin(&printer)) return failureText(printer);
    // Lines go at device coordinates, one line height apart; the text's top is at y, as the
    // native text output places it.
    const int h = painter.fontMetrics().height();
    const int ascent = painter.fontMetrics().ascent();
    int y = reportPrintTop;
    for (const QString& line : lines) {
        painter.drawText(reportPrintLeft, y + ascent, line);
        y += h;
    }
    if (printer.printerState() == QPrinter::Error) {
        printer.abort();
        return failureText(printer);
    }
    if (!painter.end()) return failureText(printer);
    return {};
}

bool QtPrintSupport::choosePrinter(QWidget* parent, QPrinter& printer) {
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    if (QPrinterInfo::availablePrinterNames().isEmpty()) {
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        if (folder.isEmpty()) folder = QDir::homePath();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir(folder).filePath(QStringLiteral("Velmora report.pdf")));
    }
    return dialog.exec() == QDialog::Accepted;
}
