#include "catalog/whole_file_writer.h"
#include "temp_dir.h"
#include "unprivileged.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

TEST(WholeFileWriter, AReadOnlyFileIsLeftAsItIs) {
    TempDir dir;
    const std::string path = dir.file("conv.ini");
    writeBytes(path, "3");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    // The folder itself may be written: only the file's own permission stops the save.
    ASSERT_EQ(chmod(dir.path().c_str(), 0777), 0);
    EXPECT_TRUE(runWithoutPrivileges([&] { return !writeWholeFile(path, "4"); }));
    EXPECT_EQ(readBytes(path), "3");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(WholeFileWriter, ASymbolicLinkStaysALinkAndItsTargetIsReplaced) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "real");
    const std::string target = (dir.path() / "real" / "conv.txt").string();
    writeBytes(target, "old");
    std::filesystem::create_symlink(target, dir.path() / "conv.txt");
    ASSERT_TRUE(writeWholeFile(dir.file("conv.txt"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "conv.txt"));
    EXPECT_EQ(readBytes(target), "new");
}

TEST(WholeFileWriter, AFolderInThePlaceOfTheFileIsNotReplaced) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "conv.txt");
    EXPECT_FALSE(writeWholeFile(dir.file("conv.txt"), "new"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "conv.txt"));
}

} // namespace
