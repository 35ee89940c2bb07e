#include "catalog/whole_file_writer.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

std::FILE* FileOps::create(const std::string& path) {
    return std::fopen(path.c_str(), "wbx");
}

std::FILE* FileOps::openForRewrite(const std::string& path) {
    return std::fopen(path.c_str(), "wb");
}

bool FileOps::write(std::FILE* file, const char* data, std::size_t size) {
    return std::fwrite(data, 1, size, file) == size;
}

bool FileOps::flush(std::FILE* file) {
    if (std::fflush(file) != 0) return false;
        // On the disk before the rename, so that a power cut leaves the old file or the new one.
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

bool FileOps::close(std::FILE* file) {
    return std::fclose(file) == 0;
}

bool FileOps::rename(const std::string& from, const std::string& to) {
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return !error;
}

void FileOps::remove(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(path, error);
}

FileOps& FileOps::real() {
    static FileOps ops;
    return ops;
}

namespace {

constexpr std::size_t chunkSize = 64 * 1024;

std::string temporaryNameFor(const std::string& path) {
    static std::mt19937 generator{std::random_device{}()};
    return path + ".tmp" + std::to_string(generator() % 1000000);
}

// A new temporary file beside path, or nullptr; a name that is taken is simply tried again.
std::FILE* createTemporary(const std::string& path, std::string& name, FileOps& ops) {
    for (int attempt = 0; attempt < 16; ++attempt) {
        name = temporaryNameFor(path);
        if (std::FILE* file = ops.create(name)) return file;
        std::error_code error;
        if (!std::filesystem::exists(name, error)) return nullptr;
    }
    return nullptr;
}

bool writeAll(std::FILE* file, std::string_view content, FileOps& ops) {
    for (std::size_t at = 0; at < content.size(); at += chunkSize) {
        const std::size_t size = std::min(chunkSize, content.size() - at);
        if (!ops.write(file, content.data() + at, size)) return false;
    }
    return ops.flush(file);
}

bool writeOver(const std::string& path, std::string_view content, FileOps& ops) {
    std::FILE* file = ops.openForRewrite(path);
    if (!file) return false;
    const bool written = writeAll(file, content, ops);
    const bool closed = ops.close(file);
    return written && closed;
}

// For a file in a folder that takes no new files (a shared catalog, say): the old bytes are
// held in memory first, so that a failed write can put them back.
bool rewriteInPlace(const std::string& path, std::string_view content, FileOps& ops) {
    std::string old;
    if (!readWholeFile(path, old)) return false;
    if (writeOver(path, content, ops)) return true;
    writeOver(path, old, ops);
    return false;
}

// The new file keeps the permissions of the one it replaces.
void keepPermissions(const std::string& from, const std::string& to) {
    std::error_code error;
    const auto status = std::filesystem::status(from, error);
    if (!error && std::filesystem::exists(status))
        std::filesystem::permissions(to, status.permissions(), error);
}

// A file that exists but may not be written stays as it is, as it would for a plain write.
bool mayReplace(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return true;
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) return false;
    std::fclose(file);
    return true;
}

// A symbolic link stays a link: the file it points to is the one replaced.
std::string resolvedTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) return path;
    const auto target = std::filesystem::weakly_canonical(path, error);
    return error ? path : target.string();
}

} // namespace

bool writeWholeFile(const std::string& requested, std::string_view content, FileOps& ops) {
    const std::string path = resolvedTarget(requested);
    if (!mayReplace(path)) return false;
    std::string temporary;
    std::FILE* file = createTemporary(path, temporary, ops);
    if (!file) {
        std::error_code error;
        return std::filesystem::is_regular_file(path, error) && rewriteInPlace(path, content, ops);
    }
    const bool written = writeAll(file, content, ops);
    const bool closed = ops.close(file);
    if (written && closed) {
        keepPermissions(path, temporary);
        if (ops.rename(temporary, path)) return true;
    }
    ops.remove(temporary);
    return false;
}

bool readWholeFile(const std::string& path, std::string& bytes) {
    bytes.clear();
    // Some systems open a folder for reading; it holds no file's bytes all the same.
    std::error_code error;
    if (std::filesystem::is_directory(path, error)) return false;
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"),
                                                            &std::fclose);
    if (!file) return false;
    // Room for the whole file at once, so a large one is not copied as the text grows.
    if (const auto size = std::filesystem::file_size(path, error); !error) bytes.reserve(size);
    char buffer[chunkSize];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        bytes.append(buffer, got);
    return !std::ferror(file.get());
}
