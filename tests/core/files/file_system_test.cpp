#include "files/file_system.h"
#include "temp_dir.h"
#include "unprivileged.h"

#include <cctype>
#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <system_error>

// Asked for the reason a file cannot be written, the system answers in its own words, and the
// file it tried with is gone again.
TEST(FileSystem, NewFileRefusalIsTheSystemsReason) {
    TempDir dir;
    EXPECT_EQ(newFileRefusal(utf8Path(dir.path())), "");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
    EXPECT_NE(newFileRefusal(utf8Path(dir.path() / "missing")), "");
#ifndef _WIN32
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    std::filesystem::permissions(
        dir.path(), std::filesystem::perms::others_read | std::filesystem::perms::others_exec,
        std::filesystem::perm_options::add);
    // In the user's language: "permission denied" in English.
    std::string denied = std::generic_category().message(EACCES);
    denied[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(denied[0])));
    EXPECT_TRUE(
        runWithoutPrivileges([&] { return newFileRefusal(utf8Path(dir.path())) == denied; }));
#endif
}
