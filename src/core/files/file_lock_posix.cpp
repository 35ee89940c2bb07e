#include "files/file_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

std::optional<FileLock> FileLock::acquire(const std::string& path,
                                          std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (descriptor < 0) return std::nullopt;
        FileLock lock(descriptor);
        struct stat locked {};
        if (::fstat(descriptor, &locked) != 0 || !S_ISREG(locked.st_mode)) return std::nullopt;
        while (::flock(descriptor, LOCK_EX | LOCK_NB) != 0) {
            // No locks here (an NFS client refuses one on a file open for reading): the save
            // goes on unlocked, as it did before there was a lock.
            if (errno == ENOLCK || errno == EOPNOTSUPP || errno == EINVAL || errno == EBADF)
                return lock;
            if (errno != EWOULDBLOCK && errno != EINTR) return std::nullopt;
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        // The holder before may have renamed a new file over this one: that is the one to lock.
        struct stat now {};
        if (::stat(path.c_str(), &now) == 0 && now.st_dev == locked.st_dev &&
            now.st_ino == locked.st_ino)
            return lock;
    }
}

FileLock::~FileLock() {
    // Closing the file gives the lock up.
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}
