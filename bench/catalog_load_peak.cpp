// Memory of loading one catalog file, measured in a process that does nothing else.
//   catalog_load_peak FILE               loads FILE and prints the peak resident set size and
//                                        the heap the loaded catalog keeps, with its line count
//   catalog_load_peak --write LINES FILE  writes a generated catalog of LINES lines to FILE
// Writing is a separate run so the generated text never counts toward the peak.

#include "catalog/catalog.h"
#include "generated_catalog.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <malloc.h>
#include <string>
#include <sys/resource.h>

namespace {

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss; // kilobytes on Linux
}

// Bytes handed out by malloc and not yet freed, mapped blocks included.
std::size_t heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

long lineCount(const char* path) {
    std::ifstream in(path, std::ios::binary);
    long lines = 0;
    char last = '\n';
    for (std::istreambuf_iterator<char> at(in), end; at != end; ++at) {
        last = *at;
        if (last == '\n') ++lines;
    }
    return last == '\n' ? lines : lines + 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--write") == 0) {
        std::ofstream out(argv[3], std::ios::binary);
        out << generatedCatalog(std::atoi(argv[2]));
        return out.good() ? 0 : 1;
    }
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FILE | --write LINES FILE\n", argv[0]);
        return 2;
    }

    const long before = peakKilobytes();
    const std::size_t heapBefore = heapInUse();
    ConversionCatalog catalog;
    if (!catalog.load(argv[1])) {
        std::fprintf(stderr, "catalog_load_peak: cannot open %s\n", argv[1]);
        return 1;
    }
    const std::size_t heapAfter = heapInUse();
    const long after = peakKilobytes();
    int conversions = 0;
    for (int id = 0; id < catalog.categoryCount(); ++id)
        conversions += catalog.categoryAt(id)->conversionCount();
    std::printf("categories=%d conversions=%d peak_rss_kb=%ld before_load_kb=%ld heap_bytes=%zu "
                "lines=%ld file_bytes=%ju\n",
                catalog.categoryCount(), conversions, after, before, heapAfter - heapBefore,
                lineCount(argv[1]),
                static_cast<std::uintmax_t>(std::filesystem::file_size(argv[1])));
    return 0;
}
