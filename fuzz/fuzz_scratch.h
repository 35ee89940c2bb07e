#pragma once

// What the file-reading fuzz targets share: a scratch folder per process and checked writes.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>

// Sanitizers catch crashes and undefined behaviour; these catch wrong answers that stay quiet.
inline void check(bool condition) {
    if (!condition) std::abort();
}

// Every input goes through a file, so a memory-backed folder, where there is one, keeps the
// fuzzer from waiting on the disk. TMPDIR still wins when it is set.
inline std::filesystem::path scratchParent() {
    std::error_code ignored;
    if (!std::getenv("TMPDIR") && std::filesystem::is_directory("/dev/shm", ignored))
        return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

// One folder per fuzzing process, so parallel jobs never share files; removed at exit.
class Scratch {
  public:
    explicit Scratch(const std::string& name) {
        std::string pattern = (scratchParent() / (name + ".XXXXXX")).string();
        check(::mkdtemp(pattern.data()) != nullptr);
        folder_ = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string file(const char* name) const { return (folder_ / name).string(); }

  private:
    std::filesystem::path folder_;
};

inline void writeFile(const std::string& path, std::string_view bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    check(file != nullptr);
    check(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    check(std::fclose(file) == 0);
}
