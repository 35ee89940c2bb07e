#include "files/file_system.h"
#include "text/text_scan.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

std::filesystem::path nativePath(const std::string& utf8) {
    return utf8;
}

std::string utf8Path(const std::filesystem::path& path) {
    return path.string();
}

std::string resolvedFilePath(const std::string& path) {
    return path;
}

std::FILE* createNewFile(const std::string& path) {
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0) return nullptr;
    std::FILE* file = ::fdopen(descriptor, "wb");
    if (!file) {
        ::close(descriptor);
        ::unlink(path.c_str());
    }
    return file;
}

std::FILE* openFileForUpdate(const std::string& path) {
    return std::fopen(path.c_str(), "r+b");
}

bool fileIsWritable(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "ab");
    if (!file) return false;
    std::fclose(file);
    return true;
}

bool folderTakesNewFiles(const std::string& folder) {
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

std::string newFileRefusal(const std::string& folder) {
    std::string probe = (folder.empty() ? std::string(".") : folder) + "/.velmora-probe-XXXXXX";
    const int descriptor = ::mkstemp(probe.data());
    if (descriptor < 0) {
        return asClause(std::generic_category().message(errno));
    }
    ::close(descriptor);
    ::unlink(probe.c_str());
    return {};
}

bool reserveFileSpace(std::FILE* file, std::size_t size) {
    const int error = ::posix_fallocate(::fileno(file), 0, static_cast<off_t>(size));
    return error == 0 || error == EINVAL || error == EOPNOTSUPP;
}

bool setFileLength(std::FILE* file, std::size_t size) {
    return std::fflush(file) == 0 && ::ftruncate(::fileno(file), static_cast<off_t>(size)) == 0;
}

bool syncFileToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

void ownerAndModeLike(std::FILE* file, const std::string& like) {
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
}

bool replaceFile(const std::string& from, const std::string& to) {
    std::error_code error;
    std::filesystem::rename(from, to, error);
    return !error;
}

std::FILE* openRegularFile(const std::string& path, ReadProblem& problem, std::uint64_t& size) {
    // Opened without waiting, so that a pipe cannot hold the program; then only a regular file
    // is read, so that a device cannot run on forever.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        problem =
            errno == ENOENT || errno == ENOTDIR ? ReadProblem::Missing : ReadProblem::Unreadable;
        return nullptr;
    }
    struct stat status {};
    problem = ReadProblem::None;
    if (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode))
        problem = ReadProblem::Unreadable;
    else if (!S_ISREG(status.st_mode))
        problem = ReadProblem::NotAFile;
    else if (static_cast<unsigned long long>(status.st_size) > maxDataFileSize)
        problem = ReadProblem::TooLarge;
    std::FILE* file = problem == ReadProblem::None ? ::fdopen(descriptor, "rb") : nullptr;
    if (!file) {
        ::close(descriptor);
        if (problem == ReadProblem::None) problem = ReadProblem::Unreadable;
        return nullptr;
    }
    size = static_cast<std::uint64_t>(status.st_size);
    return file;
}
