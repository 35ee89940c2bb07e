#include "files/file_system.h"
#include "temp_dir.h"
#include "text/text_scan.h"
#include "unprivileged.h"

#include <cerrno>
#include <filesystem>
#include <gtest/gtest.h>
#include <system_error>

// Asked why a file cannot be made, the system answers in its own words (the user's language),
// and the file it tried with is gone again.
TEST(FileSystem, NewFileRefusalIsTheSystemsReason) {
    namespace fs = std::filesystem;
    TempDir dir;
    EXPECT_EQ(newFileRefusal(utf8Path(dir.path())), "");
    EXPECT_TRUE(fs::is_empty(dir.path()));
    EXPECT_NE(newFileRefusal(utf8Path(dir.path() / "missing")), "");
#ifndef _WIN32
    // Read-only for everyone, the unprivileged child included.
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    const std::string denied = asClause(std::generic_category().message(EACCES));
    EXPECT_TRUE(
        runWithoutPrivileges([&] { return newFileRefusal(utf8Path(dir.path())) == denied; }));
#endif
}
