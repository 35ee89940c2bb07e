#pragma once

#include <QString>
#include <QStringList>
#include <QtPlugin>

class QPrinter;
class QWidget;
class UiServices;

// Printing, from a plugin of its own: the print libraries are loaded the first time the user
// prints, not at every start.
class PrintSupport {
  public:
    virtual ~PrintSupport() = default;
    // Asks services for the printer, then prints the report's lines on it, as
    // converter/report_text.h places them. Empty when printed or cancelled, otherwise the
    // message that says why nothing came out.
    virtual QString printReport(QWidget* parent, UiServices& services,
                                const QStringList& lines) = 0;
    // The print dialog as the program shows it: printing to a PDF file is always offered, and is
    // chosen beforehand where no printer is installed, so that Print always has somewhere to go.
    // True when the user chose to print.
    virtual bool choosePrinter(QWidget* parent, QPrinter& printer) = 0;
};

#define VelmoraPrintSupport_iid "com.example.velmora.PrintSupport/1"
Q_DECLARE_INTERFACE(PrintSupport, VelmoraPrintSupport_iid)

// The print plugin, looked for in the library paths (the program's own folder among them) and
// loaded on the first call. Null when it cannot be loaded; error then says why.
PrintSupport* loadPrintSupport(QString* error = nullptr);
