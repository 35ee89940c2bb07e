#include "files/whole_file_reader.h"

#include "files/file_system.h"

#include <cstdint>
#include <cstdio>
#include <memory>

namespace {

// Read a block at a time, straight into the bytes.
constexpr std::size_t chunkSize = 64 * 1024;

} // namespace

bool readWholeFile(const std::string& path, std::string& bytes, ReadProblem* problem) {
    bytes.clear();
    const auto fail = [&](ReadProblem why) {
        if (problem) *problem = why;
        bytes.clear();
        return false;
    };
    if (problem) *problem = ReadProblem::None;
    ReadProblem why = ReadProblem::None;
    std::uint64_t size = 0;
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(openRegularFile(path, why, size),
                                                            &std::fclose);
    if (!file) return fail(why);
    // Room for the whole file at once, so a large one is not copied as the text grows.
    bytes.reserve(static_cast<std::size_t>(size));
    char buffer[chunkSize];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
        // A file that grows while it is read is held to the same bound.
        if (bytes.size() + got > maxDataFileSize) return fail(ReadProblem::TooLarge);
        bytes.append(buffer, got);
    }
    if (std::ferror(file.get())) return fail(ReadProblem::Unreadable);
    return true;
}
