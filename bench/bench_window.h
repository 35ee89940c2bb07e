#pragma once

#include "catalog/catalog.h"
#include "console_ui_services.h"
#include "qt/window/converter_dialog.h"

#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <memory>

// The converter window on a copy of a catalog, in a working folder of its own as the real
// program reads conv.txt from there, shown and exposed. The folder is left on destruction.
class BenchWindow {
  public:
    explicit BenchWindow(const std::filesystem::path& catalogFile)
        : previous_(std::filesystem::current_path()) {
        std::error_code error;
        std::filesystem::copy_file(catalogFile, folder_.filePath("conv.txt").toStdString(), error);
        if (!folder_.isValid() || error) {
            std::fprintf(stderr, "bench: cannot copy %s\n", catalogFile.c_str());
            return;
        }
        std::filesystem::current_path(folder_.path().toStdString());
        dialog = std::make_unique<ConverterDialog>(catalog, services);
        if (!dialog->start()) {
            dialog.reset();
            return;
        }
        dialog->show();
        if (!QTest::qWaitForWindowExposed(dialog.get())) dialog.reset();
    }
    ~BenchWindow() {
        dialog.reset();
        std::filesystem::current_path(previous_);
    }

    ConversionCatalog catalog;
    ConsoleUiServices services;
    // None when the window could not be started.
    std::unique_ptr<ConverterDialog> dialog;

  private:
    std::filesystem::path previous_;
    QTemporaryDir folder_;
};
