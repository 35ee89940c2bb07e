#pragma once

#include "catalog/catalog.h"
#include "files/read_problem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <thread>

// Loads a large catalog file on a thread of its own while the rest of the program starts; the
// window's load then takes the result instead of reading the same file again.
class CatalogPreload {
  public:
    // Smaller files are left to the window's own load.
    static constexpr std::uintmax_t worthAThread = 1u << 20;

    explicit CatalogPreload(std::string path);
    ~CatalogPreload();
    CatalogPreload(const CatalogPreload&) = delete;
    CatalogPreload& operator=(const CatalogPreload&) = delete;

    // conv.txt in the working folder, as the window will look for it; empty when the working
    // folder cannot be told.
    static std::string workingCatalogPath();

    // For the preloaded path, once: waits for the load, moves its catalog into catalog and gives
    // what the load returned, with its problem. Nothing for any other path, or a second time.
    std::optional<bool> take(const std::string& path, ConversionCatalog& catalog,
                             ReadProblem* problem = nullptr);

  private:
    std::string path_;
    ConversionCatalog catalog_;
    bool loaded_ = false;
    ReadProblem problem_ = ReadProblem::None;
    bool taken_ = false;
    std::thread thread_;
};
