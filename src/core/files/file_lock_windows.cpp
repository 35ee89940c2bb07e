#include "files/file_lock.h"
#include "files/file_system.h"

#include <thread>
#include <windows.h>

namespace {

// Windows' locks are binding on every read and write of the bytes they cover, even through this
// program's own other handles. So the lock covers one byte far past the end of any catalog (the
// program reads 64 MiB at most), under 4 GiB so that every file system can lock it: the instances
// that take it wait for each other, and every reader and writer of the file goes on.
constexpr DWORD lockOffset = 0xfffffffe;

bool sameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return GetFileInformationByHandle(a, &first) && GetFileInformationByHandle(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

HANDLE openShared(const std::wstring& path) {
    // Shared in every way, so that the file may still be read, written and replaced.
    return CreateFileW(path.c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

std::optional<FileLock> FileLock::acquire(const std::string& path,
                                          std::chrono::milliseconds timeout) {
    const std::wstring name = nativePath(path).wstring();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    int misses = 0;
    while (true) {
        const HANDLE handle = openShared(name);
        if (handle == INVALID_HANDLE_VALUE) {
            // Windows will not rename over a file held open, as the holder before holds this
            // one: it replaced it with ReplaceFileW, which leaves the name empty for an instant.
            // A file still missing after a moment is missing.
            if (GetLastError() != ERROR_FILE_NOT_FOUND || ++misses > 20) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        FileLock lock(reinterpret_cast<std::intptr_t>(handle));
        if (GetFileType(handle) != FILE_TYPE_DISK) return std::nullopt;
        BY_HANDLE_FILE_INFORMATION information{};
        if (!GetFileInformationByHandle(handle, &information) ||
            (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return std::nullopt;
        while (true) {
            OVERLAPPED at{};
            at.Offset = lockOffset;
            if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                           &at))
                break;
            const DWORD error = GetLastError();
            // No locks here (some network shares): the save goes on unlocked, as it did before
            // there was a lock.
            if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION) return lock;
            if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) return std::nullopt;
            if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        // The holder before may have put a new file in this one's place: that is the one to lock.
        const HANDLE now = openShared(name);
        if (now == INVALID_HANDLE_VALUE) continue;
        const bool same = sameFile(handle, now);
        CloseHandle(now);
        if (same) return lock;
    }
}

FileLock::~FileLock() {
    // Closing the file gives the lock up.
    if (handle_ != -1) CloseHandle(reinterpret_cast<HANDLE>(handle_));
}
