// velmora.com: the command line of the Windows program. A GUI-subsystem program has no console to
// print to and cmd.exe does not wait for it, so the command line is a console program of its own,
// beside velmora.exe; cmd.exe and PowerShell run velmora.com when "velmora" is typed.
#include "cli/command_line.h"
#include "win32/app/console_output.h"
#include "win32/app/user_data_folder.h"
#include "win32/common/wide_text.h"

#include <sstream>
#include <string>
#include <vector>
#include <windows.h>

namespace {

std::wstring currentFolder() {
    const DWORD size = GetCurrentDirectoryW(0, nullptr);
    std::wstring folder(size, L'\0');
    const DWORD got = GetCurrentDirectoryW(size, folder.data());
    folder.resize(got < size ? got : 0);
    return folder;
}

// The window: velmora.exe beside this program, started in this program's folder (where its
// files are) with the arguments as they were typed; this program does not wait for it.
int startWindow(const std::wstring& folder) {
    const std::wstring program = folder + L"velmora.exe";
    std::wstring commandLine = L"\"" + program + L"\"";
    // The arguments after this program's own name, untouched.
    const wchar_t* typed = GetCommandLineW();
    bool quoted = false;
    while (*typed && (quoted || (*typed != L' ' && *typed != L'\t'))) {
        if (*typed == L'"') quoted = !quoted;
        ++typed;
    }
    commandLine += typed;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        writeConsoleText(ConsoleStream::Error, "velmora: cannot start " + utf8FromWide(program) +
                                                   "; use --convert or --check here, or --help\n");
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i)
        arguments.push_back(utf8FromWide(argv[i]));
    const CommandLine line = parseCommandLine(arguments);
    // With its trailing backslash.
    const std::wstring folder = (programFolder() / L"").wstring();
    if (line.action == CommandLine::Action::Window) return startWindow(folder);
    if (line.action == CommandLine::Action::ReadHelp) {
        // The Linux window reads its help through a child process; Windows has HTML Help.
        writeConsoleText(ConsoleStream::Error,
                         "velmora: unknown option --read-help\n" + usageText());
        return 2;
    }
    // As the Linux launcher does: the program's own files (conv.txt, names.txt) are those beside
    // it, and the file names the user typed are meant from the folder they typed them in.
    const std::string caller = utf8FromWide(currentFolder());
    if (!folder.empty()) SetCurrentDirectoryW(folder.c_str());
    // An installed copy's files are the user's own, in their data folder.
    if (const UserDataFolder data = enterUserDataFolder(); !data.failure.empty()) {
        writeConsoleText(ConsoleStream::Error, "velmora: cannot use the data folder " +
                                                   utf8FromWide(data.folder.wstring()) + ": " +
                                                   data.failure + "\n");
        return 2;
    }
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCommandLine(line, out, err, caller);
    const bool written = writeConsoleText(ConsoleStream::Out, out.str());
    writeConsoleText(ConsoleStream::Error, err.str());
    if (!written) {
        writeConsoleText(ConsoleStream::Error, "velmora: the output could not be written\n");
        return 2;
    }
    return status;
}
