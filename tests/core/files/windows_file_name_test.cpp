#include "files/windows_file_name.h"

#include <gtest/gtest.h>

// Each typed name opens the file on the right under Windows; a report saved under the left one
// would take the place of that file.
TEST(WindowsFileName, IsTheNameTheSystemOpens) {
    const struct {
        const char* typed;
        const char* opened;
    } cases[] = {
        {"Z:\\data\\conv.ini.", "Z:\\data\\conv.ini"},
        {"Z:\\data\\window.ini . .", "Z:\\data\\window.ini"},
        {"Z:\\data\\conv.txt::$DATA", "Z:\\data\\conv.txt"},
        {"conv.txt:notes", "conv.txt"},
        {"\\\\?\\Z:\\data\\conv.txt", "Z:\\data\\conv.txt"},
        {"\\\\?\\UNC\\server\\share\\conv.txt", "\\\\server\\share\\conv.txt"},
        {"Z:\\data.\\conv.txt", "Z:\\data\\conv.txt"},
        {"Z:conv.txt.", "Z:conv.txt"},
        // What Windows keeps.
        {"Z:\\data\\..\\conv.txt", "Z:\\data\\..\\conv.txt"},
        {"Z:\\data\\...", "Z:\\data\\..."},
        {"Z:/data/report.cnv", "Z:/data/report.cnv"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(windowsResolvedPath(c.typed), c.opened) << c.typed;
}

#ifdef _WIN32
#include "files/file_system.h"
#include "temp_dir.h"

#include <windows.h>

// A folder's short (8.3) name, from the system, reads as its long one.
TEST(WindowsFileName, AShortNameIsTheLongOne) {
    TempDir dir;
    const std::filesystem::path folder = dir.path() / "a folder with a long name";
    std::filesystem::create_directory(folder);
    wchar_t shortName[MAX_PATH];
    const DWORD length = GetShortPathNameW(folder.c_str(), shortName, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH);
    ASSERT_NE(std::wstring(shortName), folder.wstring());
    const std::string typed = utf8Path(std::filesystem::path(shortName) / "conv.ini.");
    EXPECT_EQ(resolvedFilePath(typed), utf8Path(folder / "conv.ini"));
}
#endif
