#pragma once

#include "qt/services/ui_services.h"

#include <cstdio>

// No chooser may wait for an answer in a measurement; messages go to the console instead.
class ConsoleUiServices : public UiServices {
  public:
    void showMessage(QWidget*, Icon, const QString& caption, const QString& text) override {
        std::fprintf(stderr, "bench: message \"%s\": %s\n", qPrintable(caption), qPrintable(text));
    }
    QString chooseSaveFile(QWidget*, const QString&, const QStringList&,
                           const PathRefusal&) override {
        return {};
    }
    bool choosePrinter(QWidget*, QPrinter&) override { return false; }
    void openUrl(const QUrl&) override {}
};
