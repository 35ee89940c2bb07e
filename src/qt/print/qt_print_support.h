#pragma once

#include "qt/services/print_support.h"

#include <QObject>

// The plugin that holds everything of printing; see print_support.h.
class QtPrintSupport : public QObject, public PrintSupport {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelmoraPrintSupport_iid)
    Q_INTERFACES(PrintSupport)
  public:
    QString printReport(QWidget* parent, UiServices& services, const QStringList& lines) override;
    bool choosePrinter(QWidget* parent, QPrinter& printer) override;
};
