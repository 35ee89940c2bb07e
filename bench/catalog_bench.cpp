// Time to load generated catalogs of 1,000, 10,000 and 100,000 lines from disk.

#include "catalog/catalog.h"
#include "generated_catalog.h"

#include <benchmark/benchmark.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

// The generated files live for the whole run; generating them is not what is measured.
class ScratchFolder {
  public:
    ScratchFolder() {
        std::string pattern = std::filesystem::temp_directory_path() / "catalog_bench.XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("catalog_bench: mkdtemp");
            std::exit(1);
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::string file(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

void LoadCatalog(benchmark::State& state, const std::string& path, int lines) {
    // A wrong file would make the timing meaningless.
    {
        ConversionCatalog catalog;
        int conversions = 0;
        if (catalog.load(path))
            for (int id = 0; id < catalog.categoryCount(); ++id)
                conversions += catalog.categoryAt(id)->conversionCount();
        if (catalog.categoryCount() != 50 || conversions != lines) {
            state.SkipWithError("the generated catalog did not load as generated");
            return;
        }
    }
    for (auto _ : state) {
        auto catalog = std::make_unique<ConversionCatalog>();
        benchmark::DoNotOptimize(catalog->load(path));
        benchmark::ClobberMemory();
        // Freeing the catalog is not part of loading it.
        state.PauseTiming();
        catalog.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * lines);
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

    const ScratchFolder folder;
    for (const int lines : {1000, 10000, 100000}) {
        const std::string path = folder.file("conv-" + std::to_string(lines) + ".txt");
        std::ofstream(path, std::ios::binary) << generatedCatalog(lines);
        benchmark::RegisterBenchmark(("CatalogLoad/" + std::to_string(lines)).c_str(), LoadCatalog,
                                     path, lines)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
