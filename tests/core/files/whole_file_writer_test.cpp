#include "failing_file_ops.h"
#include "files/whole_file_reader.h"
#include "files/whole_file_writer.h"
#include "temp_dir.h"
#include "unprivileged.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <vector>
#ifdef _WIN32
#include <aclapi.h>
#include <io.h>
#include <sddl.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

TEST(WholeFileWriter, AReadOnlyFileIsLeftAsItIs) {
    TempDir dir;
    const std::string path = dir.file("conv.ini");
    writeBytes(path, "3");
    using std::filesystem::perms;
    std::filesystem::permissions(path, perms::owner_read | perms::group_read | perms::others_read);
    // The folder itself may be written: only the file's own permission stops the save.
    std::filesystem::permissions(dir.path(), perms::all);
    EXPECT_TRUE(runWithoutPrivileges([&] { return !writeWholeFile(path, "4"); }));
    EXPECT_EQ(readBytes(path), "3");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

// Windows makes symbolic links only with a privilege or in developer mode.
#ifndef _WIN32
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
#endif

TEST(WholeFileWriter, AFolderInThePlaceOfTheFileIsNotReplaced) {
    TempDir dir;
    std::filesystem::create_directory(dir.path() / "conv.txt");
    EXPECT_FALSE(writeWholeFile(dir.file("conv.txt"), "new"));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "conv.txt"));
}

} // namespace

namespace {

TEST(WholeFileWriter, AFailedWriteInPlacePutsTheOldBytesBackOrKeepsThemAside) {
    struct Case {
        const char* what;
        FailingOps::Step step;
        int failures; // writes that fail, the first of the new bytes on
        bool damaged;
    };
    const Case cases[] = {
        {"no room for the new bytes: nothing is written", FailingOps::Reserve, 1, false},
        {"the write back fails once and is tried again", FailingOps::Write, 2, false},
        {"the old bytes cannot be put back: they are saved aside", FailingOps::Write, 4, true},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const std::string path = dir.file("conv.txt");
        writeBytes(path, "old bytes\n");
        FailingOps ops(c.step, 1, true, c.failures);
        const WriteResult result = writeWholeFile(path, std::string(100000, 'n'), ops);
        EXPECT_FALSE(result) << c.what;
        EXPECT_EQ(result.damaged, c.damaged) << c.what;
        if (!c.damaged) {
            EXPECT_EQ(readBytes(path), "old bytes\n") << c.what;
            continue;
        }
        EXPECT_EQ(readBytes(result.rescuedTo), "old bytes\n") << c.what;
        EXPECT_NE(damageNote(result, "conv.txt").find(result.rescuedTo), std::string::npos);
        std::filesystem::remove(result.rescuedTo);
    }
}

TEST(WholeFileWriter, WithNoPlaceForACopyOfTheOldBytesNothingIsWrittenInPlace) {
    // A double fault: every write after the first 64 KiB fails, the old bytes' write back too,
    // and the temporary folder is missing.
    TempDir dir;
    const std::string path = dir.file("conv.txt");
    const std::string old(200000, 'o');
    writeBytes(path, old);
    const TemporaryFolderOverride temporaryFolder(dir.path() / "absent");
    FailingOps ops(FailingOps::Write, 2, true, 1000);
    const WriteResult result = writeWholeFile(path, std::string(200000, 'n'), ops);
    EXPECT_FALSE(result);
    EXPECT_FALSE(result.damaged);
    EXPECT_TRUE(readBytes(path) == old) << "conv.txt is no longer what it was";
}

TEST(WholeFileWriter, OnlyRegularFilesOfAtMostTheLimitAreRead) {
    TempDir dir;
#ifdef _WIN32
    // A named pipe nobody writes, and a device that reads as empty for ever.
    const std::string pipe = "\\\\.\\pipe\\velmora-" + dir.path().filename().string();
    const HANDLE server =
        CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    const std::string device = "NUL";
#else
    const std::string pipe = dir.file("pipe");
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const std::string device = "/dev/zero";
#endif
    const std::string large = dir.file("large");
    writeBytes(large, "x");
    std::filesystem::resize_file(large, maxDataFileSize + 1);
    const std::pair<std::string, ReadProblem> cases[] = {
        {pipe, ReadProblem::NotAFile},
        {device, ReadProblem::NotAFile},
        {dir.path().string(), ReadProblem::Unreadable},
        {large, ReadProblem::TooLarge},
        {dir.file("absent"), ReadProblem::Missing},
    };
    for (const auto& [path, expected] : cases) {
        std::string bytes;
        ReadProblem problem = ReadProblem::None;
        EXPECT_FALSE(readWholeFile(path, bytes, &problem)) << path;
        EXPECT_EQ(problem, expected) << path;
        EXPECT_TRUE(bytes.empty());
    }
#ifdef _WIN32
    CloseHandle(server);
#endif
}

#ifdef _WIN32
// The access list of a file, by name or by handle, as text.
std::wstring accessText(const std::string& path, HANDLE handle = nullptr) {
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const std::wstring name = std::filesystem::path(path).wstring();
    const DWORD got =
        handle ? GetSecurityInfo(handle, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                                 nullptr, &access, nullptr, &descriptor)
               : GetNamedSecurityInfoW(name.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION,
                                       nullptr, nullptr, &access, nullptr, &descriptor);
    wchar_t* text = nullptr;
    if (got != ERROR_SUCCESS ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorW(
            descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr))
        return L"(unreadable)";
    const std::wstring result = text;
    LocalFree(text);
    LocalFree(descriptor);
    return result;
}

TEST(WholeFileWriter, TheNewFileHasTheAccessListOfTheOldOneBeforeItHoldsAByte) {
    struct WatchingOps : FileOps {
        std::string path;
        std::vector<std::wstring> seen;
        bool write(std::FILE* file, const char* data, std::size_t size) override {
            seen.push_back(
                accessText(path, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))));
            return FileOps::write(file, data, size);
        }
    };
    TempDir dir;
    const std::string path = dir.file("conv.txt");
    writeBytes(path, "old");
    // Everyone may change it, as no new file of the folder may be changed.
    PSECURITY_DESCRIPTOR wanted = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(
        L"D:P(A;;FA;;;WD)", SDDL_REVISION_1, &wanted, nullptr));
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL access = nullptr;
    GetSecurityDescriptorDacl(wanted, &present, &access, &defaulted);
    std::wstring name = std::filesystem::path(path).wstring();
    ASSERT_EQ(SetNamedSecurityInfoW(name.data(), SE_FILE_OBJECT,
                                    DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                                    nullptr, nullptr, access, nullptr),
              static_cast<DWORD>(ERROR_SUCCESS));
    LocalFree(wanted);
    const std::wstring old = accessText(path);
    writeBytes(dir.file("fresh.txt"), "");
    ASSERT_NE(accessText(dir.file("fresh.txt")), old);
    std::filesystem::remove(dir.path() / "fresh.txt");

    WatchingOps ops;
    ops.path = path;
    ASSERT_TRUE(writeWholeFile(path, "new", ops));
    ASSERT_FALSE(ops.seen.empty());
    EXPECT_EQ(ops.seen.front(), old);
    EXPECT_EQ(accessText(path), old);
}
#else
TEST(WholeFileWriter, TheNewFileHasTheOwnerAndModeOfTheOldOneBeforeItHoldsAByte) {
    // Each write looks at the file it writes to: no byte may go into a file others can read.
    struct WatchingOps : FileOps {
        std::vector<struct stat> seen;
        bool write(std::FILE* file, const char* data, std::size_t size) override {
            struct stat status {};
            fstat(fileno(file), &status);
            seen.push_back(status);
            return FileOps::write(file, data, size);
        }
    };
    TempDir dir;
    const std::string path = dir.file("conv.txt");
    writeBytes(path, "old");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
    }
    WatchingOps ops;
    ASSERT_TRUE(writeWholeFile(path, "new", ops));
    ASSERT_FALSE(ops.seen.empty());
    EXPECT_EQ(ops.seen.front().st_mode & 07777, 0640u);
    struct stat now {};
    ASSERT_EQ(stat(path.c_str(), &now), 0);
    EXPECT_EQ(now.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(now.st_uid, 65534u);
    }
}
#endif

} // namespace
