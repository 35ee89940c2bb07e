#pragma once

#include "names/name_index.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct NamesFile;

// The names people type for units: symbols, spellings and other words ("mi", "mile", "miles" for
// Miles (international)). They come from names.txt beside the catalog, one line a unit label:
//
//   Label|name|name|...
//
// Fields are trimmed; an empty field is no name. Blank lines and lines that start with "#" are
// left out. A label is found letter case aside; a name given to two labels belongs to both. The
// file is UTF-8 (bytes that are not are read as Windows-1252, as catalog texts are).
//
// Two kinds of fields say more, and a reader that does not know them only holds an odd name of
// the line's own unit:
//
//   gallon@GB,IE             a regional name: in the regions listed (ISO 3166 codes) the name
//                            is this unit's and no other's; elsewhere it is no name
//   @si: L, l, litre         these names of the unit take prefixes (kL, ml, millilitre): si,
//                            si-small (deci down), si-large (kilo up), binary (kibi up); with
//                            "squared" or "cubed" among the kinds, the prefix counts twice or
//                            three times (@si cubed: m3 gives dm3, a thousandth of a m3)
struct PrefixBase {
    std::string label;
    std::string name;
    // PrefixKind bits.
    unsigned kinds = 0;
    // The power of the prefix's factor: 3 for a cubic unit.
    int power = 1;
};
// deci and smaller, kilo and larger, kibi and larger, deca and hecto.
enum PrefixKind : unsigned {
    smallSiPrefixes = 1,
    largeSiPrefixes = 2,
    binaryPrefixes = 4,
    decaHectoPrefixes = 8,
};

class UnitNames {
  public:
    // Gives label, a display text, one more name.
    void add(std::string_view label, std::string_view name);
    // The names of label, in the order given; none when it has none.
    std::vector<std::string> of(std::string_view label) const;
    bool empty() const { return !names_ || names_->empty(); }
    // How many names were given, each time counted.
    std::size_t size() const;
    // The names as the search holds them, shared with it: none without names.
    std::shared_ptr<const NameIndex> index() const;
    // The names that take prefixes, in file order.
    const std::vector<PrefixBase>& prefixBases() const;
    void addPrefixBase(PrefixBase base);

  private:
    friend bool parseNames(std::string_view bytes, UnitNames* names, NamesFile* file,
                           std::string_view region);
    void add(std::string_view label, std::string_view name, std::string_view key);
    // Room for the texts of a file of this many bytes, so that they are not copied as they grow.
    void reserve(std::size_t bytes);

    // Copies share them until one of them is given more.
    std::shared_ptr<NameIndex> names_;
    std::shared_ptr<std::vector<PrefixBase>> prefixBases_;
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

// Without keepNames, only what a check reports: names stays empty. The regional names are those
// of region (userRegion()); none without one.
NamesFile parseNamesFile(std::string_view bytes, bool keepNames = true,
                         std::string_view region = {});

// The most names.txt may hold. A larger file is refused unread: the search holds every name of
// the file, and a file of 100,000 lines of ten names is 12 MB. Short names cost more for their
// bytes, so their number is bounded too: two million, some 150 MB while they are sorted.
inline constexpr std::size_t maxNamesFileSize = 16u << 20;
inline constexpr const char* maxNamesFileSizeText = "16 MiB";
inline constexpr std::size_t maxNames = 2'000'000;
inline constexpr const char* maxNamesText = "2,000,000";

// The names of the file at path; none when it is missing, cannot be read or is larger than
// maxNamesFileSize or holds more than maxNames names, which only means that units are found by
// their labels alone. For a file that is there but is not used, refusal, when given, gets a
// sentence that says why ("names.txt is larger than 16 MiB, the most the program reads of it;
// units are found by their labels alone"); else it is emptied.
UnitNames readUnitNames(const std::string& path, std::string* refusal = nullptr,
                        std::string_view region = {});

// The path of names.txt in the folder of the catalog at catalogPath.
std::string namesPathBeside(const std::string& catalogPath);
