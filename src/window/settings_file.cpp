#include "window/settings_file.h"

#include "catalog/line_reader.h"
#include "catalog/text_scan.h"
#include "catalog/whole_file_writer.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string_view>

int precisionFromLine(std::string_view line) {
    return std::clamp(leadingInteger(line), minPrecision, maxPrecision);
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
