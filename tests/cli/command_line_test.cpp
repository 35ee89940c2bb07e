#include "cli/command_line.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Args = std::vector<std::string>;
using Action = CommandLine::Action;

TEST(CommandLine, ReadsEachActionAndItsOptions) {
    const CommandLine window = parseCommandLine({});
    EXPECT_EQ(window.action, Action::Window);
    EXPECT_FALSE(window.openFind);
#ifndef _WIN32
    // A desktop's key opens the window on Find; Find belongs to the window alone.
    const CommandLine find = parseCommandLine({"--find", "-platform", "offscreen"});
    EXPECT_EQ(find.action, Action::Window);
    EXPECT_TRUE(find.openFind);
    EXPECT_EQ(parseCommandLine({"--find", "--check"}).action, Action::UsageError);
#endif

    const CommandLine convert =
        parseCommandLine({"--convert", "-40", "Degrees Celsius", "Degrees Fahrenheit",
                          "--category=Temperature", "--catalog", "my.txt", "--precision", "3"});
    EXPECT_EQ(convert.action, Action::Convert);
    EXPECT_EQ(convert.value, "-40"); // taken as written, although it starts with "-"
    EXPECT_EQ(convert.from, "Degrees Celsius");
    EXPECT_EQ(convert.to, "Degrees Fahrenheit");
    EXPECT_EQ(convert.category, "Temperature");
    EXPECT_EQ(convert.catalog, "my.txt");
    EXPECT_TRUE(convert.catalogGiven);
    EXPECT_EQ(convert.precision, 3);

    // Options may come first.
    const CommandLine before = parseCommandLine({"--precision=1", "--convert", "1", "a", "b"});
    EXPECT_EQ(before.action, Action::Convert);
    EXPECT_EQ(before.precision, 1);
    EXPECT_EQ(before.catalog, "conv.txt");
    EXPECT_FALSE(before.catalogGiven);
    EXPECT_FALSE(before.category);

    const CommandLine check = parseCommandLine({"--check"});
    EXPECT_EQ(check.action, Action::Check);
    EXPECT_EQ(check.catalog, "conv.txt");
    EXPECT_FALSE(check.catalogGiven);
    const CommandLine checkFile = parseCommandLine({"--check", "other.txt"});
    EXPECT_EQ(checkFile.action, Action::Check);
    EXPECT_EQ(checkFile.catalog, "other.txt");
    EXPECT_EQ(parseCommandLine({"--check=x.txt"}).catalog, "x.txt");

    for (const Args& args : {Args{"--help"}, Args{"-h"}, Args{"-?"}, Args{"--check", "--help"},
                             Args{"--version", "--help"}})
        EXPECT_EQ(parseCommandLine(args).action, Action::Help) << args.front();
    for (const Args& args : {Args{"--version"}, Args{"-v"}})
        EXPECT_EQ(parseCommandLine(args).action, Action::Version);
    // The help window's reader, alone on its line; beside anything else it is unknown.
    EXPECT_EQ(parseCommandLine({"--read-help", "-a.chm"}).helpFile, "-a.chm");
    EXPECT_EQ(parseCommandLine({"--read-help", "a.chm"}).action, Action::ReadHelp);
    EXPECT_EQ(parseCommandLine({"--read-help", "a.chm", "-v"}).action, Action::UsageError);
}

TEST(CommandLine, QtOptionsAreLetThroughForTheWindow) {
    for (const Args& args :
         {Args{"-platform", "offscreen"}, Args{"--platform", "xcb"}, Args{"-style=fusion"},
          Args{"-style", "fusion", "-reverse"}, Args{"-qwindowgeometry", "300x200+0+0"},
          Args{"-display", ":1", "-session", "abc"}, Args{"-widgetcount"}})
        EXPECT_EQ(parseCommandLine(args).action, Action::Window) << args.front();
    // Beside a command-line action they change nothing.
    const CommandLine check = parseCommandLine({"-platform", "offscreen", "--check", "a.txt"});
    EXPECT_EQ(check.action, Action::Check);
    EXPECT_EQ(check.catalog, "a.txt");
}

TEST(CommandLine, WrongUseIsAUsageErrorThatSaysWhat) {
    const struct {
        Args args;
        const char* error;
    } rows[] = {
        {{"--bogus"}, "unknown option --bogus"},
        {{"-x"}, "unknown option -x"},
        {{"--help", "--bogus"}, "unknown option --bogus"},
        {{"conv.txt"}, "unexpected argument \"conv.txt\""},
        {{"--convert", "--precision", "2"},
         "--convert needs a value, a unit to convert from and a unit to convert to"},
        {{"--convert", "1", "a", "b", "--convert", "2", "c", "d"}, "--convert is given twice"},
        {{"--convert", "1", "a", "b", "--precision", "5"},
         "--precision takes a number of decimals from 1 to 4, not \"5\""},
        {{"--convert", "1", "a", "b", "--precision", "0"},
         "--precision takes a number of decimals from 1 to 4, not \"0\""},
        {{"--convert", "1", "a", "b", "--precision", "2.5"},
         "--precision takes a number of decimals from 1 to 4, not \"2.5\""},
        {{"--convert", "1", "a", "b", "--precision"}, "--precision needs a value"},
        {{"--convert", "1", "a", "b", "--category", "A", "--category", "B"},
         "--category is given twice"},
        {{"--convert", "1", "a", "b", "--check"}, "--convert and --check cannot be used together"},
        {{"--category", "Length"}, "--category goes with --convert"},
        {{"--precision", "2"}, "--precision goes with --convert"},
        {{"--catalog", "x.txt"}, "--catalog goes with --convert"},
        {{"--check", "a", "--check", "b"}, "--check is given twice"},
        {{"--check", "a", "b"}, "unexpected argument \"b\""},
        {{"-platform"}, "-platform needs a value"},
    };
    for (const auto& row : rows) {
        const CommandLine line = parseCommandLine(row.args);
        EXPECT_EQ(line.action, Action::UsageError) << row.error;
        EXPECT_EQ(line.error, row.error);
    }
}

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome run(const Args& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCommandLine(parseCommandLine(args), out, err);
    return {status, out.str(), err.str()};
}

TEST(CommandLine, HelpPrintsTheUsageAndSucceeds) {
    const Outcome help = run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, usageText());
    EXPECT_EQ(help.err, "");
#ifdef _WIN32
    // The Windows window takes no options of its own.
    EXPECT_EQ(help.out.rfind("Usage: velmora\n", 0), 0u);
#else
    EXPECT_EQ(help.out.rfind("Usage: velmora [--find] [Qt options]\n", 0), 0u);
#endif
    for (const char* option : {"--convert VALUE FROM TO", "--category NAME", "--catalog FILE",
                               "--precision N", "--check [FILE]", "--help", "--version"})
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    // Short: it fits a terminal without scrolling.
    EXPECT_LE(std::count(help.out.begin(), help.out.end(), '\n'), 24);
}

TEST(CommandLine, VersionPrintsTheNameAndTheVersion) {
    const Outcome version = run({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Velmora " VELMORA_VERSION "\n");
    EXPECT_EQ(version.err, "");
}

TEST(CommandLine, AnUnknownOptionPrintsTheUsageToStderrAndGivesTwo) {
    const Outcome unknown = run({"--frobnicate"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "velmora: unknown option --frobnicate\n" + usageText());
}

} // namespace
