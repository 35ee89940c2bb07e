#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// The names people type for units: symbols, spellings and other words ("mi", "mile", "miles" for
// Miles (international)). They come from names.txt beside the catalog, one line a unit label:
//
//   Label|name|name|...
//
// Fields are trimmed; an empty field is no name. Blank lines and lines that start with "#" are
// left out. A label is found letter case aside; a name given to two labels belongs to both. The
// file is UTF-8 (bytes that are not are read as Windows-1252, as catalog texts are).
class UnitNames {
  public:
    // Gives label, a display text, one more name.
    void add(std::string_view label, std::string_view name);
    // The names of label, in the order given; none when it has none.
    const std::vector<std::string>& of(std::string_view label) const;
    bool empty() const { return byLabel_.empty(); }

  private:
    // By the label with its letter case folded away.
    std::unordered_map<std::string, std::vector<std::string>> byLabel_;
};

struct NamesProblem {
    int line = 0;
    std::string message;
};

// names.txt as read, with what a check reports.
struct NamesFile {
    UnitNames names;
    // Lines as ended by LF or CR LF, the last one also without.
    int lines = 0;
    int nameCount = 0;
    // Each line that gives names: its number and its label, in file order.
    std::vector<std::pair<int, std::string>> labels;
    // The lines, or names, that cannot be used and are left out, in line order.
    std::vector<NamesProblem> problems;
};

NamesFile parseNamesFile(std::string_view bytes);

// The names of the file at path; none when it is missing or cannot be read, which only means
// that units are found by their labels alone.
UnitNames readUnitNames(const std::string& path);

// The path of names.txt in the folder of the catalog at catalogPath.
std::string namesPathBeside(const std::string& catalogPath);
