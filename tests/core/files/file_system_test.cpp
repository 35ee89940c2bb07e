#include "files/file_system.h"
#include "temp_dir.h"
#include "unprivileged.h"

#include <filesystem>
#include <gtest/gtest.h>

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
    EXPECT_TRUE(runWithoutPrivileges(
        [&] { return newFileRefusal(utf8Path(dir.path())) == "permission denied"; }));
#endif
}
