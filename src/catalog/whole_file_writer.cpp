#include "catalog/whole_file_writer.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <random>
#include <system_error>
#include <thread>

#ifdef _WIN32
#include <io.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

std::FILE* FileOps::create(const std::string& path) {
#ifdef _WIN32
    return std::fopen(path.c_str(), "wbx");
#else
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0) return nullptr;
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (!file) {
        ::close(descriptor);
        ::unlink(path.c_str());
    }
    return file;
#endif
}

std::FILE* FileOps::openForUpdate(const std::string& path) {
    return std::fopen(path.c_str(), "r+b");
}

bool FileOps::reserve(std::FILE* file, std::size_t size) {
#ifdef _WIN32
    (void)file;
    (void)size;
    return true;
#else
    const int error = ::posix_fallocate(::fileno(file), 0, static_cast<off_t>(size));
    // A file system that cannot reserve shows a full disk at the first write instead.
    return error == 0 || error == EINVAL || error == EOPNOTSUPP;
#endif
}

bool FileOps::write(std::FILE* file, const char* data, std::size_t size) {
    return std::fwrite(data, 1, size, file) == size;
}

bool FileOps::truncate(std::FILE* file, std::size_t size) {
    if (std::fflush(file) != 0) return false;
#ifdef _WIN32
    return _chsize_s(_fileno(file), static_cast<long long>(size)) == 0;
#else
    return ::ftruncate(::fileno(file), static_cast<off_t>(size)) == 0;
#endif
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

// The new file gets the owner and the permissions of the one it replaces before it holds a
// byte; a new file gets the permissions any new file of the user gets.
void takeOwnerAndMode(std::FILE* file, const std::string& like) {
#ifdef _WIN32
    (void)file;
    (void)like;
#else
    const int descriptor = ::fileno(file);
    struct stat old {};
    if (::stat(like.c_str(), &old) != 0) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(descriptor, 0666 & ~mask);
        return;
    }
    // Only root may give a file away; anyone may keep their own, and the group where they are
    // in it.
    if (::fchown(descriptor, old.st_uid, old.st_gid) != 0)
        (void)::fchown(descriptor, static_cast<uid_t>(-1), old.st_gid);
    ::fchmod(descriptor, old.st_mode & 07777);
#endif
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

// The old bytes of a file that could not be put back, kept where the user can find them: in the
// temporary folder, which is no part of the failing one.
std::string rescue(const std::string& path, std::string_view old) {
    FileOps& ops = FileOps::real();
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) return {};
    const std::string name = (folder / std::filesystem::path(path).filename()).string();
    std::string rescued;
    std::FILE* file = createTemporary(name, rescued, ops);
    if (!file) return {};
    const bool written = writeAll(file, old, ops) && ops.flush(file);
    if (ops.close(file) && written) return rescued;
    ops.remove(rescued);
    return {};
}

// For a file in a folder that takes no new files (a shared catalog, say): the old bytes are
// held in memory first, so that a failed write can put them back.
WriteResult rewriteInPlace(const std::string& path, std::string_view content, FileOps& ops,
                           const std::function<bool()>& stillCurrent) {
    std::string old;
    if (!readWholeFile(path, old)) return {};
    std::FILE* file = ops.openForUpdate(path);
    if (!file) return {};
    if (stillCurrent && !stillCurrent()) {
        ops.close(file);
        return {};
    }
    // Room first: past this point no byte of the old file is lost for want of space.
    if (!ops.reserve(file, std::max(content.size(), old.size()))) {
        // A reservation that failed half way may have grown the file.
        const bool cut = ops.truncate(file, old.size());
        if (ops.close(file) && cut) return {};
        if (restore(path, old, ops)) return {};
        return {false, true, rescue(path, old)};
    }
    const bool written = writeOver(file, content, ops);
    if (ops.close(file) && written) return {true, false, {}};
    if (restore(path, old, ops)) return {};
    return {false, true, rescue(path, old)};
}

// A file that exists but may not be written stays as it is, as it would for a plain write; so
// does anything that is no regular file (a folder, a pipe that would hold the writer, a device).
bool mayReplace(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return true;
    if (!std::filesystem::is_regular_file(path, error)) return false;
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

WriteResult writeWholeFile(const std::string& requested, std::string_view content, FileOps& ops,
                           const std::function<bool()>& stillCurrent) {
    const std::string path = resolvedTarget(requested);
    if (!mayReplace(path)) return {};
    std::string temporary;
    std::FILE* file = createTemporary(path, temporary, ops);
    if (!file) {
        std::error_code error;
        if (!std::filesystem::exists(path, error)) return {};
        return rewriteInPlace(path, content, ops, stillCurrent);
    }
    takeOwnerAndMode(file, path);
    const bool written = writeAll(file, content, ops) && ops.flush(file);
    const bool closed = ops.close(file);
    if (written && closed && (!stillCurrent || stillCurrent()) && ops.rename(temporary, path))
        return {true, false, {}};
    ops.remove(temporary);
    return {};
}

std::string readProblemText(ReadProblem problem, std::string_view subject) {
    if (problem == ReadProblem::NotAFile) return std::string(subject) + " is not a regular file";
    if (problem == ReadProblem::TooLarge)
        return std::string(subject) + " is larger than " + maxDataFileSizeText +
               ", the most the program reads";
    return {};
}

std::string damageNote(const WriteResult& result, std::string_view fileName) {
    if (!result.damaged) return {};
    std::string note = " The file " + std::string(fileName) + " could not be put back as it was";
    if (result.rescuedTo.empty()) return note + ".";
    return note + "; its old content is saved as " + result.rescuedTo + ".";
}

bool readWholeFile(const std::string& path, std::string& bytes, ReadProblem* problem) {
    bytes.clear();
    const auto fail = [&](ReadProblem why) {
        if (problem) *problem = why;
        bytes.clear();
        return false;
    };
    if (problem) *problem = ReadProblem::None;
#ifdef _WIN32
    std::error_code error;
    if (!std::filesystem::exists(path, error)) return fail(ReadProblem::Missing);
    if (std::filesystem::is_directory(path, error)) return fail(ReadProblem::Unreadable);
    if (!std::filesystem::is_regular_file(path, error)) return fail(ReadProblem::NotAFile);
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"),
                                                            &std::fclose);
    if (!file) return fail(ReadProblem::Unreadable);
#else
    // Opened without waiting, so that a pipe cannot hold the program; then only a regular file
    // is read, so that a device cannot run on forever.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return fail(errno == ENOENT || errno == ENOTDIR ? ReadProblem::Missing
                                                        : ReadProblem::Unreadable);
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(::fdopen(descriptor, "rb"),
                                                            &std::fclose);
    if (!file) {
        ::close(descriptor);
        return fail(ReadProblem::Unreadable);
    }
    struct stat status {};
    if (::fstat(descriptor, &status) != 0) return fail(ReadProblem::Unreadable);
    if (S_ISDIR(status.st_mode)) return fail(ReadProblem::Unreadable);
    if (!S_ISREG(status.st_mode)) return fail(ReadProblem::NotAFile);
    if (static_cast<unsigned long long>(status.st_size) > maxDataFileSize)
        return fail(ReadProblem::TooLarge);
    // Room for the whole file at once, so a large one is not copied as the text grows.
    bytes.reserve(static_cast<std::size_t>(status.st_size));
#endif
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
