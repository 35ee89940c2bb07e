#include "files/windows_file_name.h"

#include <cstddef>

namespace {

bool isSeparator(char c) {
    return c == '\\' || c == '/';
}

// A name of dots alone ("." and "..") means a folder, never a file, and stays.
bool onlyDots(std::string_view name) {
    return name.find_first_not_of('.') == std::string_view::npos;
}

} // namespace

std::string windowsResolvedPath(std::string_view path) {
    std::string prefix;
    if (path.starts_with("\\\\?\\") || path.starts_with("//?/")) {
        path.remove_prefix(4);
        if (path.size() >= 4 && (path.substr(0, 3) == "UNC" || path.substr(0, 3) == "unc") &&
            isSeparator(path[3])) {
            path.remove_prefix(4);
            prefix = "\\\\";
        }
    }
    std::string out = prefix;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = start;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        std::string_view name = path.substr(start, end - start);
        const bool last = end == path.size();
        if (last) {
            // A colon past a drive letter ("C:") starts a stream of the file.
            const bool drive = start == 0 && name.size() >= 2 && name[1] == ':';
            const std::size_t colon = name.find(':', drive ? 2 : 0);
            if (colon != std::string_view::npos) name = name.substr(0, colon);
            if (!onlyDots(name))
                while (!name.empty() && (name.back() == '.' || name.back() == ' '))
                    name.remove_suffix(1);
        } else if (name.size() > 1 && name.back() == '.' && !onlyDots(name)) {
            name.remove_suffix(1);
        }
        out += name;
        if (last) break;
        out += path[end];
        start = end + 1;
    }
    return out;
}
