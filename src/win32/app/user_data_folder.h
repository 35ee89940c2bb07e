#pragma once

// Where the Windows programs keep the user's files. A copy installed by the MSI sits in Program
// Files, which a standard user may not write and every user shares, so it works in a folder of each
// user's own, %APPDATA%\Velmora, seeded from the installed files as the Linux launcher seeds
// ~/.local/share/velmora. A copy unpacked from the zip works in the folder it is started in.

#include <filesystem>
#include <string>

// The folder of this program's file; empty when it cannot be told.
std::filesystem::path programFolder();

// The rule: a copy is the installed one when its folder is the folder the MSI recorded
// (HKLM\Software\Velmora, InstallDir), however either is spelled. Never by trying to write: a
// folder may take writes and still be shared, and under Wine every folder takes them. A copy of
// the installed folder made elsewhere, or a zip unpacked anywhere, is portable.
bool isInstalledFolder(const std::filesystem::path& programFolder,
                       const std::filesystem::path& recordedFolder);

// Creates folder when missing and copies conv.txt, names.txt and help.chm into it from
// installFolder, each only when it is missing there: a file already there is the user's and is
// never replaced. Empty when done, else why not. Only conv.txt must be installed; without the
// others Find knows the units by their labels and F1 does nothing.
std::string prepareUserDataFolder(const std::filesystem::path& folder,
                                  const std::filesystem::path& installFolder);

struct UserDataFolder {
    std::filesystem::path folder; // the user's folder, when installed
    std::string failure;          // why it cannot be used; empty when it can
};

// For this process: when it is the installed copy, its user's folder, prepared and made the
// current directory; else nothing changes.
UserDataFolder enterUserDataFolder();

// The window's message for a failure: "Unable to load conversion data. ... in FOLDER: reason."
std::string userDataFolderMessage(const UserDataFolder& data);
