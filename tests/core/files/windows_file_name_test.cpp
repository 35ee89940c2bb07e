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
        {"Z:\\data\\conv.txt:notes:$DATA", "Z:\\data\\conv.txt"},
        {"conv.txt:notes", "conv.txt"},
        {"\\\\?\\Z:\\data\\conv.txt", "Z:\\data\\conv.txt"},
        {"\\\\?\\UNC\\server\\share\\conv.txt", "\\\\server\\share\\conv.txt"},
        {"Z:\\data.\\conv.txt", "Z:\\data\\conv.txt"},
        {"Z:conv.txt.", "Z:conv.txt"},
        // What Windows keeps.
        {"Z:\\data\\..\\conv.txt", "Z:\\data\\..\\conv.txt"},
        {"Z:\\data\\...", "Z:\\data\\..."},
        {"Z:\\data\\.conv.txt", "Z:\\data\\.conv.txt"},
        {"Z:/data/report.cnv", "Z:/data/report.cnv"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(windowsResolvedPath(c.typed), c.opened) << c.typed;
}
