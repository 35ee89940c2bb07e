#include "files/whole_file_writer.h"

#include "files/file_system.h"
#include "files/whole_file_reader.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>
#include <thread>

std::FILE* FileOps::create(const std::string& path) {
    return createNewFile(path);
}

std::FILE* FileOps::openForUpdate(const std::string& path) {
    return openFileForUpdate(path);
}

bool FileOps::reserve(std::FILE* file, std::size_t size) {
    return reserveFileSpace(file, size);
}

bool FileOps::write(std::FILE* file, const char* data, std::size_t size) {
    return std::fwrite(data, 1, size, file) == size;
}

bool FileOps::truncate(std::FILE* file, std::size_t size) {
    return setFileLength(file, size);
}

bool FileOps::flush(std::FILE* file) {
    // On the disk before the rename, so that a power cut leaves the old file or the new one.
    return syncFileToDisk(file);
}

bool FileOps::close(std::FILE* file) {
    return std::fclose(file) == 0;
}

bool FileOps::rename(const std::string& from, const std::string& to) {
    return replaceFile(from, to);
}

void FileOps::remove(const std::string& path) {
    std::error_code error;
    std::filesystem::remove(nativePath(path), error);
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
        if (!std::filesystem::exists(nativePath(name), error)) return nullptr;
    }
    return nullptr;
}

bool writeAll(std::FILE* file, std::string_view content, FileOps& ops) {
    for (std::size_t at = 0; at < content.size(); at += chunkSize) {
        const std::size_t size = std::min(chunkSize, content.size() - at);
        if (!ops.write(file, content.data() + at, size)) return false;
    }
    return true;
}

// Writes content over the file from its start and ends the file after it.
bool writeOver(std::FILE* file, std::string_view content, FileOps& ops) {
    return std::fseek(file, 0, SEEK_SET) == 0 && writeAll(file, content, ops) &&
           ops.truncate(file, content.size()) && ops.flush(file);
}

// Puts the old bytes back after a failed write in place, and reads them back to be sure; a
// failure may be passing (a moment of full disk), so it is tried more than once.
bool restore(const std::string& path, std::string_view old, FileOps& ops) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::FILE* file = ops.openForUpdate(path);
        if (!file) continue;
        const bool written = writeOver(file, old, ops);
        const bool closed = ops.close(file);
        std::string now;
        if (written && closed && readWholeFile(path, now) && now == old) return true;
    }
    return false;
}

// A copy of the old bytes of a file about to be written in place, kept where the user can find
// them: in the temporary folder, which is no part of the folder the file is in. Empty when no copy
// could be made.
std::string keepAside(const std::string& path, std::string_view old) {
    FileOps& ops = FileOps::real();
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) return {};
    const std::string name = utf8Path(folder / nativePath(path).filename());
    std::string copy;
    std::FILE* file = createTemporary(name, copy, ops);
    if (!file) return {};
    const bool written = writeAll(file, old, ops) && ops.flush(file);
    if (ops.close(file) && written) return copy;
    ops.remove(copy);
    return {};
}

// For a file in a folder that takes no new files (a shared catalog, say): the old bytes are
// held in memory, so that a failed write can put them back, and kept aside on the disk before the
// first of them is written over, so that they survive even when putting them back fails too.
// Where no copy can be kept, the file is not touched.
WriteResult rewriteInPlace(const std::string& path, std::string_view content, FileOps& ops,
                           const std::function<bool()>& stillCurrent) {
    std::string old;
    if (!readWholeFile(path, old)) return {};
    const std::string copy = keepAside(path, old);
    if (copy.empty()) return {};
    // The copy goes once the file holds whole bytes again, new or old.
    const auto done = [&](bool written) {
        FileOps::real().remove(copy);
        return WriteResult{written, false, {}, {}};
    };
    std::FILE* file = ops.openForUpdate(path);
    if (!file) return done(false);
    if (stillCurrent && !stillCurrent()) {
        ops.close(file);
        return done(false);
    }
    // Room first: past this point no byte of the old file is lost for want of space.
    if (!ops.reserve(file, std::max(content.size(), old.size()))) {
        // A reservation that failed half way may have grown the file.
        const bool cut = ops.truncate(file, old.size());
        if (ops.close(file) && cut) return done(false);
        if (restore(path, old, ops)) return done(false);
        return {false, true, copy, {}};
    }
    const bool written = writeOver(file, content, ops);
    if (ops.close(file) && written) return done(true);
    if (restore(path, old, ops)) return done(false);
    return {false, true, copy, {}};
}

// A file that exists but may not be written stays as it is, as it would for a plain write; so
// does anything that is no regular file (a folder, a pipe that would hold the writer, a device).
bool mayReplace(const std::string& path) {
    std::error_code error;
    const std::filesystem::path file = nativePath(path);
    if (!std::filesystem::exists(file, error)) return true;
    return std::filesystem::is_regular_file(file, error) && fileIsWritable(path);
}

// A symbolic link stays a link: the file it points to is the one replaced.
std::string resolvedTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(nativePath(path), error)) return path;
    const auto target = std::filesystem::weakly_canonical(nativePath(path), error);
    return error ? path : utf8Path(target);
}

} // namespace

std::string writeFailureReason(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::path file = nativePath(path);
    const fs::path folder = file.has_parent_path() ? file.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, error)) return "the folder does not exist";
    const bool exists = fs::exists(file, error);
    if (exists && fs::is_directory(file, error)) return "it is a folder";
    if (exists && !fs::is_regular_file(file, error)) return "it is no regular file";
    if (exists && !fileIsWritable(path)) return "the file is read-only";
    if (!folderTakesNewFiles(utf8Path(folder)))
        return exists ? "the folder refuses new files, and the file could not be written in place"
                      : "the folder refuses new files";
    // Where the folder's rights do not show it (a Unix folder seen from Windows), the system
    // says why when asked for a file.
    if (const std::string refusal = newFileRefusal(utf8Path(folder)); !refusal.empty())
        return exists ? "the folder refuses new files (" + refusal +
                            "), and the file could not be written in place"
                      : "the folder refuses new files: " + refusal;
    return "the write failed; the disk may be full";
}

namespace {

WriteResult writeWithoutReason(const std::string& requested, std::string_view content, FileOps& ops,
                               const std::function<bool()>& stillCurrent) {
    const std::string path = resolvedTarget(requested);
    if (!mayReplace(path)) return {};
    std::string temporary;
    std::FILE* file = createTemporary(path, temporary, ops);
    if (!file) {
        std::error_code error;
        if (!std::filesystem::exists(nativePath(path), error)) return {};
        return rewriteInPlace(path, content, ops, stillCurrent);
    }
    // The new file gets the owner and the permissions of the one it replaces before it holds a
    // byte.
    ownerAndModeLike(file, path);
    const bool written = writeAll(file, content, ops) && ops.flush(file);
    const bool closed = ops.close(file);
    if (written && closed && (!stillCurrent || stillCurrent()) && ops.rename(temporary, path))
        return {true, false, {}, {}};
    ops.remove(temporary);
    return {};
}

} // namespace

WriteResult writeWholeFile(const std::string& path, std::string_view content, FileOps& ops,
                           const std::function<bool()>& stillCurrent) {
    WriteResult result = writeWithoutReason(path, content, ops, stillCurrent);
    if (!result) result.why = writeFailureReason(resolvedTarget(path));
    return result;
}

std::string damageNote(const WriteResult& result, std::string_view fileName) {
    if (!result.damaged) return {};
    std::string note = " The file " + std::string(fileName) + " could not be put back as it was";
    if (result.rescuedTo.empty()) return note + ".";
    return note + "; its old content is saved as " + result.rescuedTo + ".";
}
