#include "cli/command_line.h"

#include "cli/catalog_check.h"
#include "cli/convert_command.h"
#include "cli/terminal_text.h"
#include "files/file_system.h"
#include "product.h"
#include "result.h"
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

// Reads the arguments one by one into a command line and the actions asked for; the first wrong
// one stops it.
class ArgumentReader {
  public:
    explicit ArgumentReader(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    Status readAll() {
        for (at_ = 0; at_ < arguments_.size(); ++at_)
            if (const Status read = readArgument(); !read) return read;
        return {};
    }
    // The one action of the arguments, or why they ask for none that can be done.
    Result<CommandLine> action() const;

  private:
    Status readArgument();
    Status readConvert();
    Status readCheck();
    Status readQtOption(const QtOption& option, bool hasInlineValue);

    // Whether the argument is the option name with a value, as "--name VALUE" or "--name=VALUE".
    bool isValued(std::string_view name) const {
        return argument() == name || startsWith(argument(), std::string(name) + "=");
    }
    // Its value, which store takes; a missing value is an error.
    Status readValue(std::string_view name, Status (ArgumentReader::*store)(const std::string&)) {
        if (argument() != name) return (this->*store)(argument().substr(name.size() + 1));
        if (!hasNext()) return Failure{std::string(name) + " needs a value"};
        return (this->*store)(takeNext());
    }
    Status setCategory(const std::string& value);
    Status setCatalog(const std::string& value);
    Status setPrecision(const std::string& value);

    const std::string& argument() const { return arguments_[at_]; }
    bool hasNext() const { return at_ + 1 < arguments_.size(); }
    const std::string& peekNext() const { return arguments_[at_ + 1]; }
    const std::string& takeNext() { return arguments_[++at_]; }

    const std::vector<std::string>& arguments_;
    std::size_t at_ = 0;
    CommandLine line_;
    bool help_ = false;
    bool version_ = false;
    bool convert_ = false;
    bool check_ = false;
};

Status ArgumentReader::readArgument() {
    const std::string& argument = this->argument();
    if (argument == "--help" || argument == "-h" || argument == "-?") {
        help_ = true;
        return {};
    }
    if (argument == "--version" || argument == "-v") {
        version_ = true;
        return {};
    }
#ifndef _WIN32
    if (argument == "--find") {
        line_.openFind = true;
        return {};
    }
#endif
    if (argument == "--convert") return readConvert();
    if (argument == "--check" || startsWith(argument, "--check=")) return readCheck();
    if (isValued("--category")) return readValue("--category", &ArgumentReader::setCategory);
    if (isValued("--catalog")) return readValue("--catalog", &ArgumentReader::setCatalog);
    if (isValued("--precision")) return readValue("--precision", &ArgumentReader::setPrecision);
    if (bool inlineValue = false; const QtOption* option = qtOption(argument, inlineValue))
        return readQtOption(*option, inlineValue);
    if (startsWith(argument, "-") && argument != "-") return Failure{"unknown option " + argument};
    return Failure{"unexpected argument \"" + argument + "\""};
}

// One query ("5 mi to km"), a value with its unit and a unit ("5 ft 11 in" cm), or a value and
// two units; an option ends them.
Status ArgumentReader::readConvert() {
    if (convert_) return Failure{"--convert is given twice"};
    std::vector<std::string> words;
    while (words.size() < 3 && hasNext() && !startsWith(peekNext(), "--"))
        words.push_back(takeNext());
    if (words.empty())
        return Failure{"--convert needs a value, a unit to convert from and a unit to convert to"};
    convert_ = true;
    line_.value = words[0];
    if (words.size() == 2) line_.to = words[1];
    if (words.size() == 3) {
        line_.from = words[1];
        line_.to = words[2];
    }
    return {};
}

// --check, --check FILE or --check=FILE.
Status ArgumentReader::readCheck() {
    if (check_) return Failure{"--check is given twice"};
    check_ = true;
    if (argument() != "--check") {
        line_.catalog = argument().substr(8);
        line_.catalogGiven = true;
    } else if (hasNext() && !startsWith(peekNext(), "-")) {
        line_.catalog = takeNext();
        line_.catalogGiven = true;
    }
    return {};
}

// For the window; a command-line action lets it be.
Status ArgumentReader::readQtOption(const QtOption& option, bool hasInlineValue) {
    if (!option.takesValue || hasInlineValue) return {};
    if (!hasNext()) return Failure{argument() + " needs a value"};
    takeNext();
    return {};
}

Status ArgumentReader::setCategory(const std::string& value) {
    if (line_.category) return Failure{"--category is given twice"};
    line_.category = value;
    return {};
}

Status ArgumentReader::setCatalog(const std::string& value) {
    if (line_.catalogGiven) return Failure{"--catalog is given twice"};
    line_.catalog = value;
    line_.catalogGiven = true;
    return {};
}

Status ArgumentReader::setPrecision(const std::string& value) {
    if (line_.precision) return Failure{"--precision is given twice"};
    line_.precision = precisionArgument(value);
    if (!line_.precision)
        return Failure{"--precision takes a number of decimals from " + precisionRangeText() +
                       ", not \"" + value + "\""};
    return {};
}

Result<CommandLine> ArgumentReader::action() const {
    CommandLine line = line_;
    if (help_) {
        line.action = CommandLine::Action::Help;
        return line;
    }
    if (version_) {
        line.action = CommandLine::Action::Version;
        return line;
    }
    if (convert_ && check_) return Failure{"--convert and --check cannot be used together"};
    if (line.openFind && (convert_ || check_)) return Failure{"--find opens the window alone"};
    if (!convert_) {
        if (line.category) return Failure{"--category goes with --convert"};
        if (line.precision) return Failure{"--precision goes with --convert"};
        if (line.catalogGiven && !check_) return Failure{"--catalog goes with --convert"};
    }
    if (check_ && line.catalogGiven && line.catalog.empty())
        return Failure{"--check needs a file name"};
    line.action = convert_ ? CommandLine::Action::Convert
                  : check_ ? CommandLine::Action::Check
                           : CommandLine::Action::Window;
    return line;
}

} // namespace

CommandLine parseCommandLine(const std::vector<std::string>& arguments) {
    if (arguments.size() == 2 && arguments[0] == "--read-help") {
        CommandLine line;
        line.action = CommandLine::Action::ReadHelp;
        line.helpFile = arguments[1];
        return line;
    }
    ArgumentReader reader(arguments);
    if (const Status read = reader.readAll(); !read) return usageError(read.why());
    Result<CommandLine> line = reader.action();
    return line ? std::move(line).value() : usageError(line.why());
}

std::string usageText() {
#ifdef _WIN32
    // The Windows window is no Qt program: it takes no options of its own.
    const std::string window = "Usage: velmora\n";
    const std::string opens =
        "Without options, opens the converter window on the conv.txt beside velmora.exe, or,\n"
        "for a copy installed by the MSI, on the one in %APPDATA%\\Velmora, which its first\n"
        "start fills from the installed files.\n";
#else
    const std::string window = "Usage: velmora [--find] [Qt options]\n";
    const std::string opens =
        "Without options, opens the converter window on conv.txt in the current folder;\n"
        "with --find, with Find Conversion open, for a key of the desktop to start.\n";
#endif
    return window +
           "       velmora --convert VALUE FROM TO [--category NAME] [--catalog FILE]"
           " [--precision N]\n"
           "       velmora --convert \"VALUE FROM\" TO [options]\n"
           "       velmora --convert \"VALUE FROM to TO\" [options]\n"
           "       velmora --check [FILE]\n"
           "       velmora --help | --version\n"
           "\n" +
           opens +
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
