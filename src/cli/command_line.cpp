#include "cli/command_line.h"

#include "cli/catalog_check.h"
#include "cli/convert_command.h"
#include "cli/terminal_text.h"
#include "files/file_system.h"
#include "product.h"
#include "settings/precision_text.h"

#include <filesystem>
#include <ostream>
#include <sstream>
#include <string_view>

namespace {

// Qt's options, written with one dash (Qt takes two as well), and whether the next argument is
// their value. Qt reads and removes them when the window's application object is made.
struct QtOption {
    std::string_view name;
    bool takesValue;
};
constexpr QtOption qtOptions[] = {
    {"-platform", true},
    {"-platformpluginpath", true},
    {"-platformtheme", true},
    {"-plugin", true},
    {"-qwindowgeometry", true},
    {"-qwindowicon", true},
    {"-qwindowtitle", true},
    {"-session", true},
    {"-display", true},
    {"-geometry", true},
    {"-title", true},
    {"-icon", true},
    {"-name", true},
    {"-style", true},
    {"-stylesheet", true},
    {"-reverse", false},
    {"-widgetcount", false},
    {"-nograb", false},
    {"-dograb", false},
    {"-sync", false},
    {"-testability", false},
    {"-qmljsdebugger", false},
    {"-fontengine", false},
    {"-dialogs", false},
};

// The Qt option that argument is, with its value after "=" or not; nullptr for none.
const QtOption* qtOption(std::string_view argument, bool& hasInlineValue) {
    if (argument.substr(0, 2) == "--") argument.remove_prefix(1);
    const std::size_t equals = argument.find('=');
    hasInlineValue = equals != std::string_view::npos;
    const std::string_view name = argument.substr(0, equals);
    for (const QtOption& option : qtOptions)
        if (option.name == name) return &option;
    return nullptr;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

CommandLine usageError(std::string error) {
    CommandLine line;
    line.action = CommandLine::Action::UsageError;
    line.error = std::move(error);
    return line;
}

std::string resolved(const std::string& path, const std::string& callerDirectory) {
    if (callerDirectory.empty() || nativePath(path).is_absolute()) return path;
    return utf8Path(nativePath(callerDirectory) / nativePath(path));
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    CommandLine line;
    if (arguments.size() == 2 && arguments[0] == "--read-help") {
        line.action = CommandLine::Action::ReadHelp;
        line.helpFile = arguments[1];
        return line;
    }
    bool help = false;
    bool version = false;
    bool convert = false;
    bool check = false;
    const std::size_t count = arguments.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::string& argument = arguments[i];
        // An option with a value, as "--name VALUE" or "--name=VALUE"; false when argument is
        // another option. A missing or repeated value is an error.
        std::string failure;
        auto valued = [&](std::string_view name, auto store) {
            std::string value;
            if (argument == name) {
                if (i + 1 >= count) {
                    failure = std::string(name) + " needs a value";
                    return true;
                }
                value = arguments[++i];
            } else if (startsWith(argument, std::string(name) + "=")) {
                value = argument.substr(name.size() + 1);
            } else {
                return false;
            }
            failure = store(value);
            return true;
        };
        if (argument == "--help" || argument == "-h" || argument == "-?") {
            help = true;
        } else if (argument == "--version" || argument == "-v") {
            version = true;
        } else if (argument == "--convert") {
            if (convert) return usageError("--convert is given twice");
            // One query ("5 mi to km"), a value with its unit and a unit ("5 ft 11 in" cm), or
            // a value and two units; an option ends them.
            std::vector<std::string> words;
            while (words.size() < 3 && i + 1 < count && !startsWith(arguments[i + 1], "--"))
                words.push_back(arguments[++i]);
            if (words.empty())
                return usageError("--convert needs a value, a unit to convert from and a unit "
                                  "to convert to");
            convert = true;
            line.value = words[0];
            if (words.size() == 2) line.to = words[1];
            if (words.size() == 3) {
                line.from = words[1];
                line.to = words[2];
            }
        } else if (argument == "--check" || startsWith(argument, "--check=")) {
            if (check) return usageError("--check is given twice");
            check = true;
            if (argument != "--check") {
                line.catalog = argument.substr(8);
                line.catalogGiven = true;
            } else if (i + 1 < count && !startsWith(arguments[i + 1], "-")) {
                line.catalog = arguments[++i];
                line.catalogGiven = true;
            }
        } else if (valued("--category",
                          [&](const std::string& value) -> std::string {
                              if (line.category) return "--category is given twice";
                              line.category = value;
                              return {};
                          }) ||
                   valued("--catalog",
                          [&](const std::string& value) -> std::string {
                              if (line.catalogGiven) return "--catalog is given twice";
                              line.catalog = value;
                              line.catalogGiven = true;
                              return {};
                          }) ||
                   valued("--precision", [&](const std::string& value) -> std::string {
                       if (line.precision) return "--precision is given twice";
                       line.precision = precisionArgument(value);
                       if (!line.precision)
                           return "--precision takes a number of decimals from " +
                                  precisionRangeText() + ", not \"" + value + "\"";
                       return {};
                   })) {
            if (!failure.empty()) return usageError(failure);
        } else if (bool inlineValue = false;
                   const QtOption* option = qtOption(argument, inlineValue)) {
            // For the window; a command-line action lets it be.
            if (option->takesValue && !inlineValue) {
                if (i + 1 >= count) return usageError(argument + " needs a value");
                ++i;
            }
        } else if (startsWith(argument, "-") && argument != "-") {
            return usageError("unknown option " + argument);
        } else {
            return usageError("unexpected argument \"" + argument + "\"");
        }
    }

    if (help) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (version) {
        line.action = CommandLine::Action::Version;
        return line;
    }
    if (convert && check) return usageError("--convert and --check cannot be used together");
    if (!convert) {
        if (line.category) return usageError("--category goes with --convert");
        if (line.precision) return usageError("--precision goes with --convert");
        if (line.catalogGiven && !check) return usageError("--catalog goes with --convert");
    }
    if (check && line.catalogGiven && line.catalog.empty())
        return usageError("--check needs a file name");
    line.action = convert ? CommandLine::Action::Convert
                  : check ? CommandLine::Action::Check
                          : CommandLine::Action::Window;
    return line;
}

std::string usageText() {
    return "Usage: velmora [Qt options]\n"
           "       velmora --convert VALUE FROM TO [--category NAME] [--catalog FILE]"
           " [--precision N]\n"
           "       velmora --convert \"VALUE FROM\" TO [options]\n"
           "       velmora --convert \"VALUE FROM to TO\" [options]\n"
           "       velmora --check [FILE]\n"
           "       velmora --help | --version\n"
           "\n"
           "Without options, opens the converter window on conv.txt in the current folder.\n"
           "\n"
           "  --convert VALUE FROM TO  print VALUE converted from unit FROM to unit TO; VALUE\n"
           "                           may be 1/2, 1 1/2, 3*12, or \"5 ft 11 in\" with FROM\n"
           "                           left out; TO may be several units (\"ft in\")\n"
           "  --category NAME          look for the units in category NAME only\n"
           "  --catalog FILE           read FILE instead of conv.txt\n"
           "  --precision N            print N decimals (" +
           precisionRangeText() +
           ") instead of up to 15 digits\n"
           "  --check [FILE]           report the lines of a catalog (default conv.txt) and of\n"
           "                           the names.txt beside it that will not work as written\n"
           "  -h, --help               print this help and exit\n"
           "  -v, --version            print the version and exit\n"
           "\n"
           "Exit status: 0 done, 1 --check found problems, 2 a usage error or nothing to\n"
           "convert or check.\n";
}

std::string versionText() {
    return "Velmora " VELMORA_VERSION "\n";
}

namespace {

int runAction(const CommandLine& line, std::ostream& out, std::ostream& err,
              const std::string& callerDirectory) {
    const std::string path =
        line.catalogGiven ? resolved(line.catalog, callerDirectory) : line.catalog;
    switch (line.action) {
    case CommandLine::Action::Help:
        out << usageText();
        return 0;
    case CommandLine::Action::Version:
        out << versionText();
        return 0;
    case CommandLine::Action::Convert: {
        ConvertRequest request;
        request.value = line.value;
        request.from = line.from;
        request.to = line.to;
        request.category = line.category;
        request.precision = line.precision;
        request.catalogName = line.catalog;
        request.catalogPath = path;
        return runConvert(request, out, err);
    }
    case CommandLine::Action::Check:
        return runCheck(line.catalog, path, out, err);
    case CommandLine::Action::UsageError:
        err << "velmora: " << line.error << "\n" << usageText();
        return 2;
    case CommandLine::Action::Window:
    case CommandLine::Action::ReadHelp:
        break;
    }
    err << "velmora: nothing to do on the command line\n";
    return 2;
}

} // namespace

int runCommandLine(const CommandLine& line, std::ostream& out, std::ostream& err,
                   const std::string& callerDirectory) {
    // Labels, formulas and the arguments themselves reach the terminal only escaped.
    std::ostringstream outText;
    std::ostringstream errText;
    const int status = runAction(line, outText, errText, callerDirectory);
    out << terminalText(outText.str());
    err << terminalText(errText.str());
    return status;
}
