#include "catalog/catalog_preload.h"

#include "files/file_system.h"
#include "files/read_problem.h"

#include <filesystem>
#include <system_error>

CatalogPreload::CatalogPreload(std::string path) : path_(std::move(path)) {
    if (path_.empty()) return;
    // A thread pays only where the load takes longer than starting it: for a catalog of a few
    // thousand lines the window loads it itself, in a fraction of a millisecond.
    std::error_code error;
    const auto size = std::filesystem::file_size(path_, error);
    if (error || size < worthAThread) {
        taken_ = true;
        return;
    }
    try {
        thread_ = std::thread([this] { loaded_ = catalog_.load(path_, &problem_); });
    } catch (const std::system_error&) {
        // No thread to be had: the window loads the file itself, as without a preload.
        taken_ = true;
    }
}

CatalogPreload::~CatalogPreload() {
    if (thread_.joinable()) thread_.join();
}

std::string CatalogPreload::workingCatalogPath() {
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    return error ? std::string() : utf8Path(directory / "") + "conv.txt";
}

std::optional<bool> CatalogPreload::take(const std::string& path, ConversionCatalog& catalog,
                                         ReadProblem* problem) {
    if (taken_ || path_.empty() || path != path_) return std::nullopt;
    taken_ = true;
    if (thread_.joinable()) thread_.join();
    catalog = std::move(catalog_);
    if (problem) *problem = problem_;
    return loaded_;
}
