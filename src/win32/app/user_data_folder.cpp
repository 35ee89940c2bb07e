#include "win32/app/user_data_folder.h"

#include <array>
#include <optional>
#include <random>
#include <system_error>
#include <windows.h>

namespace fs = std::filesystem;

namespace {

std::string utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

// The folder the MSI installed to; empty when it is not installed.
fs::path recordedInstallFolder() {
    DWORD size = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Velmora", L"InstallDir", RRF_RT_REG_SZ,
                     nullptr, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::wstring folder(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Velmora", L"InstallDir", RRF_RT_REG_SZ,
                     nullptr, folder.data(), &size) != ERROR_SUCCESS)
        return {};
    folder.resize(wcsnlen(folder.c_str(), folder.size()));
    return folder;
}

} // namespace

// The folder of this program's file, empty when it cannot be told.
fs::path programFolder() {
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD size =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (size == 0) return {};
        if (size < path.size()) return fs::path(path.substr(0, size)).parent_path();
        path.resize(path.size() * 2);
    }
}

bool isInstalledFolder(const fs::path& programFolder, const fs::path& recordedFolder) {
    // The same folder on the disk, whatever its spelling (case, a trailing separator, another
    // drive letter for the same place): the same volume and file index. std::filesystem's
    // equivalent() is no help here: mingw-w64's takes "C:\Velmora\" and "C:\Velmora" for two.
    const auto identity = [](const fs::path& folder) -> std::optional<std::array<DWORD, 3>> {
        if (folder.empty()) return {};
        const HANDLE handle =
            CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return {};
        BY_HANDLE_FILE_INFORMATION info{};
        const bool known = GetFileInformationByHandle(handle, &info);
        CloseHandle(handle);
        if (!known) return {};
        return std::array{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    };
    const auto program = identity(programFolder);
    return program && program == identity(recordedFolder);
}

std::string prepareUserDataFolder(const fs::path& folder, const fs::path& installFolder) {
    std::error_code error;
    std::error_code unused;
    fs::create_directories(folder, error);
    if (!fs::is_directory(folder, unused))
        return "it cannot be created" + (error ? " (" + error.message() + ")" : std::string());
    for (const char* name : {"conv.txt", "names.txt", "help.chm"}) {
        const fs::path target = folder / name;
        // Anything there, even what cannot be looked at, is the user's.
        if (fs::symlink_status(target, error).type() != fs::file_type::not_found) continue;
        const fs::path source = installFolder / name;
        if (!fs::is_regular_file(source, unused)) {
            if (name == std::string_view("conv.txt")) return "the installed conv.txt is missing";
            continue;
        }
        // Copied under a name of its own first, so that an interrupted copy never leaves a
        // truncated file that later starts would take for the user's own.
        const fs::path partial =
            folder / (std::string(name) + ".partial-" + std::to_string(std::random_device{}()));
        const bool copied = fs::copy_file(source, partial, error);
        if (copied) fs::rename(partial, target, error);
        if (!copied || error) {
            const std::string why = error.message();
            fs::remove(partial, error);
            return name + std::string(" cannot be copied there (") + why + ")";
        }
    }
    return {};
}

UserDataFolder enterUserDataFolder() {
    UserDataFolder data;
    const fs::path program = programFolder();
    if (!isInstalledFolder(program, recordedInstallFolder())) return data;
    const wchar_t* appData = _wgetenv(L"APPDATA");
    if (!appData || !fs::path(appData).is_absolute()) {
        data.folder = L"%APPDATA%\\Velmora";
        data.failure = "APPDATA names no folder";
        return data;
    }
    data.folder = fs::path(appData) / L"Velmora";
    data.failure = prepareUserDataFolder(data.folder, program);
    if (!data.failure.empty()) return data;
    std::error_code error;
    fs::current_path(data.folder, error);
    if (error) data.failure = "it cannot be entered (" + error.message() + ")";
    return data;
}

std::string userDataFolderMessage(const UserDataFolder& data) {
    return "Unable to load conversion data. Your own files could not be set up in " +
           utf8(data.folder) + ": " + data.failure + ".";
}
