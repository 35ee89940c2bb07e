#include "failing_file_ops.h"
#include "settings/settings_file.h"
#include "temp_dir.h"
#include "unprivileged.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

TEST(SettingsFile, FirstLineGivesTheClampedPrecision) {
    struct Case {
        const char* file;
        int precision;
    };
    const Case cases[] = {
        {"3", 3},
        {"  3 \t\r\n", 3},
        {"7", 4},
        {"0", 1},
        {"-2", 1},
        {"letters", 1},
        {"\n4\n", 1},
        {"3.9", 3},
        {"2abc", 2},
        {"+4", 4},
        {"2\r\n4\r\n", 2},
        {"99999999999999999999", 4},
        {"-99999999999999999999", 1},
        {"2147483648", 4},
        {"-2147483649", 1},
    };
    for (const auto& c : cases) {
        TempDir dir;
        writeBytes(dir.file("conv.ini"), c.file);
        int precision = 2;
        EXPECT_TRUE(readSettings(dir.file("conv.ini"), precision)) << c.file;
        EXPECT_EQ(precision, c.precision) << c.file;
    }
}

TEST(SettingsFile, EmptyOrMissingFileKeepsThePrecision) {
    TempDir dir;
    int precision = 1;
    EXPECT_FALSE(readSettings(dir.file("conv.ini"), precision));
    EXPECT_EQ(precision, 1);
    writeBytes(dir.file("conv.ini"), "");
    EXPECT_TRUE(readSettings(dir.file("conv.ini"), precision));
    EXPECT_EQ(precision, 1);
}

TEST(SettingsFile, WritesOneDigitWholeOrNotAtAll) {
    TempDir dir;
    const std::string path = dir.file("conv.ini");
    writeBytes(path, "3\r\nold second line\r\n");
    ASSERT_TRUE(writeSettings(path, 4));
    EXPECT_EQ(readBytes(path), "4");

    for (auto step : {FailingOps::Create, FailingOps::Write, FailingOps::Flush, FailingOps::Close,
                      FailingOps::Rename}) {
        FailingOps ops(step);
        EXPECT_FALSE(writeSettings(path, 2, ops)) << step;
        EXPECT_EQ(readBytes(path), "4") << step;
    }

    // A folder's read-only attribute does not keep new files out of it on Windows.
#ifndef _WIN32
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    EXPECT_TRUE(runWithoutPrivileges([&] { return !writeSettings(path, 1); }));
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(readBytes(path), "4");
#endif
}

TEST(SettingsFile, WindowSizeIsTwoPositiveNumbersOrNothing) {
    // Each line with the size it gives, 0 x 0 for none.
    const std::pair<const char*, const char*> cases[] = {{"640 480\r\n", "640x480"},
                                                         {" 640\t480 ", "640x480"},
                                                         {"+640 480", "0x0"},
                                                         {"640", "0x0"},
                                                         {"640x480", "0x0"},
                                                         {"640 480 3", "0x0"},
                                                         {"0 480", "0x0"},
                                                         {"-640 480", "0x0"},
                                                         {"640 100001", "0x0"},
                                                         {"99999999999 480", "0x0"},
                                                         {"", "0x0"},
                                                         {"640 4 80", "0x0"}};
    for (const auto& [line, expected] : cases) {
        const auto size = windowSizeFromLine(line);
        EXPECT_EQ(size ? std::to_string(size->width) + "x" + std::to_string(size->height) : "0x0",
                  expected)
            << line;
    }
}

// The maximised state rides on a second line, which a reader of the size alone passes over.
TEST(SettingsFile, WindowSizeKeepsTheMaximisedStateOnASecondLine) {
    TempDir dir;
    const std::string path = dir.file("window.ini");
    for (const bool maximised : {true, false}) {
        ASSERT_TRUE(writeWindowSize(path, WindowSize{640, 480, maximised}));
        const auto size = readWindowSize(path);
        ASSERT_TRUE(size);
        EXPECT_EQ(size->width, 640);
        EXPECT_EQ(size->maximised, maximised);
    }
    writeBytes(path, "640 480\r\nmaximised\r\n");
    EXPECT_FALSE(readWindowSize(path)->maximised);
    writeBytes(path, "640 480\nmaximized");
    EXPECT_TRUE(readWindowSize(path)->maximised);
}

} // namespace
