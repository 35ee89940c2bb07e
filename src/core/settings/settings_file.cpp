#include "settings/settings_file.h"

#include "files/line_reader.h"
#include "files/whole_file_reader.h"
#include "files/whole_file_writer.h"
#include "text/text_scan.h"

#include <charconv>
#include <string_view>

namespace {

constexpr std::string_view maximisedLine = "maximized";

} // namespace

bool readSettings(const std::string& path, int& precision) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return false;
    LineReader reader(bytes);
    std::string line;
    if (reader.next(line)) precision = precisionFromLine(line.substr(0, line.find('\0')));
    return true;
}

bool writeSettings(const std::string& path, int precision, FileOps& ops) {
    return writeWholeFile(path, std::to_string(precision), ops).written;
}

bool writeSettings(const std::string& path, int precision) {
    return writeSettings(path, precision, FileOps::real());
}

std::optional<WindowSize> windowSizeFromLine(std::string_view line) {
    int values[2] = {0, 0};
    std::string_view rest = trimmed(line);
    for (int& value : values) {
        const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
        if (error != std::errc() || value <= 0 || value > 100000) return std::nullopt;
        rest = rest.substr(static_cast<std::size_t>(end - rest.data()));
        // The two numbers need a blank between them; the second needs nothing after it.
        if (&value == &values[0] && (rest.empty() || !isWhiteSpace(rest.front())))
            return std::nullopt;
        rest = trimmed(rest);
    }
    if (!rest.empty()) return std::nullopt;
    return WindowSize{values[0], values[1]};
}

std::optional<WindowSize> readWindowSize(const std::string& path) {
    std::string bytes;
    if (!readWholeFile(path, bytes)) return std::nullopt;
    LineReader reader(bytes);
    std::string line;
    if (!reader.next(line)) return std::nullopt;
    std::optional<WindowSize> size = windowSizeFromLine(line);
    if (size && reader.next(line)) size->maximised = trimmed(line) == maximisedLine;
    return size;
}

bool writeWindowSize(const std::string& path, WindowSize size) {
    const std::string text = std::to_string(size.width) + ' ' + std::to_string(size.height) +
                             "\r\n" + (size.maximised ? std::string(maximisedLine) + "\r\n" : "");
    return writeWholeFile(path, text, FileOps::real()).written;
}
