#pragma once

#include "catalog/catalog.h"

class CatalogPreload;
class UiServices;

// The application: the process-wide catalog, and the converter window run on them.
class ConverterApp {
  public:
    explicit ConverterApp(UiServices& services) : services_(services) {}
    // A load of conv.txt started before the application object, for the window to take.
    void setPreload(CatalogPreload* preload) { preload_ = preload; }
    // The window opens with Find Conversion open.
    void setOpenFind(bool open) { openFind_ = open; }

    // Runs the converter window until it closes; the process's exit status. A catalog that cannot
    // be loaded ends the program with a failure status after its message.
    int run();

  private:
    UiServices& services_;
    CatalogPreload* preload_ = nullptr;
    bool openFind_ = false;
    ConversionCatalog catalog_;
};
