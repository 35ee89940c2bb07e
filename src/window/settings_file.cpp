#include "window/settings_file.h"

#include "catalog/line_reader.h"
#include "catalog/whole_file_writer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>

int precisionFromLine(std::string_view line) {
    std::size_t at = line.find_first_not_of(" \t\n\v\f\r");
    if (at == std::string_view::npos) return 1;
    bool negative = false;
    if (line[at] == '+' || line[at] == '-') negative = line[at++] == '-';
    // Any magnitude past 4 clamps the same way, so digits beyond that need not be kept.
    long long magnitude = 0;
    for (; at < line.size() && line[at] >= '0' && line[at] <= '9'; ++at)
        magnitude = std::min<long long>(magnitude * 10 + (line[at] - '0'), 1000);
    return static_cast<int>(std::clamp<long long>(negative ? -magnitude : magnitude, 1, 4));
}

bool readSettings(const std::string& path, int& precision) {
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"),
                                                            &std::fclose);
    if (!file) return false;
    LineReader reader(file.get());
    std::string line;
    if (reader.next(line)) precision = precisionFromLine(line.substr(0, line.find('\0')));
    return true;
}

bool writeSettings(const std::string& path, int precision, FileOps& ops) {
    return writeWholeFile(path, std::to_string(precision), ops);
}

bool writeSettings(const std::string& path, int precision) {
    return writeSettings(path, precision, FileOps::real());
}
