#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <string>
#include <string_view>

// A fresh folder for one test, removed with everything in it afterwards.
class TempDir {
  public:
    TempDir() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("velmora-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code error;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, error);
        std::filesystem::remove_all(path_, error);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(std::string_view name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

// The system's temporary folder is folder while this lives (TMPDIR on Linux, TMP on Windows).
class TemporaryFolderOverride {
  public:
    explicit TemporaryFolderOverride(const std::filesystem::path& folder) {
        if (const char* old = std::getenv(variable)) old_ = old;
        set(folder.string().c_str());
    }
    ~TemporaryFolderOverride() { set(old_ ? old_->c_str() : nullptr); }
    TemporaryFolderOverride(const TemporaryFolderOverride&) = delete;
    TemporaryFolderOverride& operator=(const TemporaryFolderOverride&) = delete;

  private:
#ifdef _WIN32
    static constexpr const char* variable = "TMP";
    static void set(const char* value) {
        _putenv_s(variable, value ? value : "");
    }
#else
    static constexpr const char* variable = "TMPDIR";
    static void set(const char* value) {
        value ? setenv(variable, value, 1) : unsetenv(variable);
    }
#endif
    std::optional<std::string> old_;
};

inline void writeBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
