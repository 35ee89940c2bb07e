#include "files/file_system.h"
#include "files/windows_file_name.h"
#include "text/text_scan.h"

#include <fcntl.h>
#include <io.h>
#include <string_view>
#include <windows.h>

// After windows.h, which it needs.
#include <aclapi.h>

namespace {

// Other programs may read, write, rename and delete a file this one holds open, as on Linux: an
// open file never keeps the catalog from being replaced.
constexpr DWORD shareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

std::wstring wide(const std::string& utf8) {
    return nativePath(utf8).wstring();
}

// A C stream over a handle; the handle is closed when that fails.
std::FILE* streamOver(HANDLE handle, int flags, const char* mode) {
    if (handle == INVALID_HANDLE_VALUE) return nullptr;
    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
    if (descriptor < 0) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = _fdopen(descriptor, mode);
    if (!file) _close(descriptor);
    return file;
}

HANDLE handleOf(std::FILE* file) {
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
}

} // namespace

std::filesystem::path nativePath(const std::string& utf8) {
    // A narrow string would be taken byte by byte; as char8_t it is read as UTF-8.
    const std::u8string_view text(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size());
    return std::filesystem::path(text);
}

std::string utf8Path(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

std::string resolvedFilePath(const std::string& path) {
    const std::filesystem::path plain = nativePath(windowsResolvedPath(path));
    // The long name of the file, or of its folder when the file is not there yet.
    const auto longName = [](const std::filesystem::path& shortName) -> std::filesystem::path {
        const DWORD size = GetLongPathNameW(shortName.c_str(), nullptr, 0);
        if (size == 0) return {};
        std::wstring name(size, L'\0');
        const DWORD length = GetLongPathNameW(shortName.c_str(), name.data(), size);
        if (length == 0 || length >= size) return {};
        name.resize(length);
        return name;
    };
    if (const std::filesystem::path whole = longName(plain); !whole.empty()) return utf8Path(whole);
    if (const std::filesystem::path folder = longName(plain.parent_path()); !folder.empty())
        return utf8Path(folder / plain.filename());
    return utf8Path(plain);
}

std::FILE* createNewFile(const std::string& path) {
    // The folder's permissions apply until ownerAndModeLike sets the old file's, before a byte
    // is written.
    const HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_WRITE | WRITE_DAC, shareAll,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    return streamOver(handle, _O_WRONLY, "wb");
}

std::FILE* openFileForUpdate(const std::string& path) {
    const HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, shareAll,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return streamOver(handle, _O_RDWR, "r+b");
}

bool fileIsWritable(const std::string& path) {
    // The read-only attribute binds everyone, administrators too; it is asked for itself, as
    // not every file system that emulates it refuses an administrator's write.
    const std::wstring name = wide(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    // The permissions.
    const HANDLE handle = CreateFileW(name.c_str(), FILE_APPEND_DATA, shareAll, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

bool folderTakesNewFiles(const std::string& folder) {
    // The folder's own read-only attribute binds nothing; its access list does.
    const HANDLE handle = CreateFileW(wide(folder).c_str(), FILE_ADD_FILE, shareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    CloseHandle(handle);
    return true;
}

std::string newFileRefusal(const std::string& folder) {
    const std::wstring probe = (folder.empty() ? std::wstring(L".") : wide(folder)) +
                               L"\\.velmora-probe-" + std::to_wstring(GetCurrentProcessId());
    const HANDLE handle =
        CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        CloseHandle(handle);
        return {};
    }
    const DWORD error = GetLastError();
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const std::string message =
        length ? utf8Path(std::filesystem::path(std::wstring(text, length))) : "";
    if (text) LocalFree(text);
    // "Access denied.\r\n" reads as part of a sentence: "access denied".
    const std::string why = asClause(std::string(trimmed(message)));
    return why.empty() ? "the system refuses it (error " + std::to_string(error) + ")" : why;
}

bool reserveFileSpace(std::FILE* file, std::size_t size) {
    if (std::fflush(file) != 0) return false;
    // An allocation under the file's length would cut the file.
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(handleOf(file), &length)) return false;
    if (static_cast<unsigned long long>(length.QuadPart) >= size) return true;
    FILE_ALLOCATION_INFO allocation{};
    allocation.AllocationSize.QuadPart = static_cast<LONGLONG>(size);
    if (SetFileInformationByHandle(handleOf(file), FileAllocationInfo, &allocation,
                                   sizeof allocation))
        return true;
    const DWORD error = GetLastError();
    return error != ERROR_DISK_FULL && error != ERROR_HANDLE_DISK_FULL;
}

bool setFileLength(std::FILE* file, std::size_t size) {
    if (std::fflush(file) != 0) return false;
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
    return SetFileInformationByHandle(handleOf(file), FileEndOfFileInfo, &end, sizeof end) != 0;
}

bool syncFileToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && FlushFileBuffers(handleOf(file)) != 0;
}

void ownerAndModeLike(std::FILE* file, const std::string& like) {
    // The old file's permissions (its access list, inherited or its own), as on Linux its mode.
    // The owner stays whoever writes, as only an administrator may give a file away.
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetNamedSecurityInfoW(wide(like).c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                              nullptr, nullptr, &access, nullptr, &descriptor) != ERROR_SUCCESS)
        return; // a new file: its folder's, as any new file there
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    GetSecurityDescriptorControl(descriptor, &control, &revision);
    const SECURITY_INFORMATION which =
        DACL_SECURITY_INFORMATION |
        ((control & SE_DACL_PROTECTED) ? PROTECTED_DACL_SECURITY_INFORMATION
                                       : UNPROTECTED_DACL_SECURITY_INFORMATION);
    SetSecurityInfo(handleOf(file), SE_FILE_OBJECT, which, nullptr, nullptr, access, nullptr);
    LocalFree(descriptor);
}

bool replaceFile(const std::string& from, const std::string& to) {
    const std::wstring source = wide(from);
    const std::wstring target = wide(to);
    // One rename, on the disk before it returns: the name never stands empty.
    if (MoveFileExW(source.c_str(), target.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    // Windows will not rename over a file still open elsewhere (the lock at close holds the
    // catalog open); ReplaceFileW replaces it, though its name is empty for an instant.
    return GetLastError() == ERROR_ACCESS_DENIED &&
           ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                        nullptr, nullptr);
}

namespace {

// A name Windows gives a device in any folder and with any suffix (CON, nul.txt, COM1), or a
// device path (\\.\...): a device is no file, even where it cannot be opened to be looked at.
bool namesDevice(const std::wstring& path) {
    if (path.rfind(L"\\\\.\\", 0) == 0 || path.rfind(L"//./", 0) == 0) return true;
    std::wstring stem = path.substr(path.find_last_of(L"\\/:") + 1);
    stem = stem.substr(0, stem.find(L'.'));
    while (!stem.empty() && (stem.back() == L' '))
        stem.pop_back();
    for (wchar_t& c : stem)
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
    if (stem == L"CON" || stem == L"PRN" || stem == L"AUX" || stem == L"NUL" || stem == L"CONIN$" ||
        stem == L"CONOUT$")
        return true;
    return stem.size() == 4 && (stem.rfind(L"COM", 0) == 0 || stem.rfind(L"LPT", 0) == 0) &&
           stem[3] >= L'1' && stem[3] <= L'9';
}

} // namespace

std::FILE* openRegularFile(const std::string& path, ReadProblem& problem, std::uint64_t& size) {
    if (namesDevice(wide(path))) {
        problem = ReadProblem::NotAFile;
        return nullptr;
    }
    // Opened as it is, folder or device, to be looked at before a byte is read.
    const HANDLE handle = CreateFileW(wide(path).c_str(), GENERIC_READ, shareAll, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        problem = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                      ? ReadProblem::Missing
                      : ReadProblem::Unreadable;
        return nullptr;
    }
    // Only a file on a disk is read: a device or a pipe could block or run on forever.
    BY_HANDLE_FILE_INFORMATION information{};
    problem = ReadProblem::None;
    if (GetFileType(handle) != FILE_TYPE_DISK)
        problem = ReadProblem::NotAFile;
    else if (!GetFileInformationByHandle(handle, &information) ||
             (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        problem = ReadProblem::Unreadable;
    size = (std::uint64_t{information.nFileSizeHigh} << 32) | information.nFileSizeLow;
    if (problem == ReadProblem::None && size > maxDataFileSize) problem = ReadProblem::TooLarge;
    if (problem != ReadProblem::None) {
        CloseHandle(handle);
        return nullptr;
    }
    std::FILE* file = streamOver(handle, _O_RDONLY, "rb");
    if (!file) problem = ReadProblem::Unreadable;
    return file;
}
