#include "window/settings_file.h"

#include "catalog/line_reader.h"
#include "catalog/text_scan.h"
#include "catalog/whole_file_writer.h"

#include <algorithm>
#include <string_view>

int precisionFromLine(std::string_view line) {
    return std::clamp(leadingInteger(line), minPrecision, maxPrecision);
}
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
