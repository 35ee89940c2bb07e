#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// The program's command line: what it asks for, read before any window or display exists.
//
//   velmora [--find] [Qt options]        the converter window, with Find open for --find
//   velmora --convert VALUE FROM TO [--category NAME] [--catalog FILE] [--precision N]
//   velmora --check [FILE]
//   velmora --help | --version
//
// Qt's own options (-platform, -style, ...) are let through for the window; any other argument
// is a usage error.
struct CommandLine {
    // ReadHelp is internal: the program reading its help file in a child process of its own
    // (--read-help FILE, as the only arguments); it is not in the usage.
    enum class Action { Window, Help, Version, Convert, Check, UsageError, ReadHelp };

    Action action = Action::Window;
    // What was wrong, for UsageError.
    std::string error;

    // --convert VALUE FROM TO, taken as written, so VALUE may start with "-".
    std::string value;
    std::string from;
    std::string to;
    std::optional<std::string> category;
    std::optional<int> precision;
    // The catalog of --convert (--catalog) or the file of --check; conv.txt when not given.
    std::string catalog = "conv.txt";
    bool catalogGiven = false;
    // The help file of ReadHelp.
    std::string helpFile;
    // The window opens with Find Conversion open (Linux: a desktop's own key starts it so).
    bool openFind = false;
};

// Reads the arguments after the program name.
CommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The short usage that --help prints, and that follows a usage error on stderr.
std::string usageText();
// "Velmora " and the version, and a line end.
std::string versionText();

// Carries out every action but Window: prints to out and err and gives the exit status (0 done,
// 1 problems found by --check, 2 a usage error or nothing to convert or check). Relative file
// names given on the command line are taken from callerDirectory when it is not empty (the
// installed launcher starts the program in its data folder, but the user named the files from
// where they typed the command); the default conv.txt stays the one of the current folder.
int runCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err,
                   const std::string& callerDirectory = {});
