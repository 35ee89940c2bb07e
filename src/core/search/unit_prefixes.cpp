#include "search/unit_prefixes.h"

#include "search/unit_names.h"
#include "text/case_fold.h"

#include <algorithm>

namespace {

struct Prefix {
    std::string_view symbol;
    std::string_view word;
    double factor;
    std::string_view factorText;
    unsigned kind;
};

constexpr Prefix prefixes[] = {
    {"Q", "quetta", 1e30, "1e30", largeSiPrefixes},
    {"R", "ronna", 1e27, "1e27", largeSiPrefixes},
    {"Y", "yotta", 1e24, "1e24", largeSiPrefixes},
    {"Z", "zetta", 1e21, "1e21", largeSiPrefixes},
    {"E", "exa", 1e18, "1e18", largeSiPrefixes},
    {"P", "peta", 1e15, "1e15", largeSiPrefixes},
    {"T", "tera", 1e12, "1e12", largeSiPrefixes},
    {"G", "giga", 1e9, "1e9", largeSiPrefixes},
    {"M", "mega", 1e6, "1e6", largeSiPrefixes},
    {"k", "kilo", 1e3, "1000", largeSiPrefixes},
    {"h", "hecto", 1e2, "100", decaHectoPrefixes},
    {"da", "deca", 1e1, "10", decaHectoPrefixes},
    {"da", "deka", 1e1, "10", decaHectoPrefixes},
    {"d", "deci", 1e-1, "0.1", smallSiPrefixes},
    {"c", "centi", 1e-2, "0.01", smallSiPrefixes},
    {"m", "milli", 1e-3, "0.001", smallSiPrefixes},
    {"\xC2\xB5", "micro", 1e-6, "1e-6", smallSiPrefixes}, // µ, the micro sign
    {"\xCE\xBC", "micro", 1e-6, "1e-6", smallSiPrefixes}, // μ, the Greek letter
    {"u", "micro", 1e-6, "1e-6", smallSiPrefixes},
    {"n", "nano", 1e-9, "1e-9", smallSiPrefixes},
    {"p", "pico", 1e-12, "1e-12", smallSiPrefixes},
    {"f", "femto", 1e-15, "1e-15", smallSiPrefixes},
    {"a", "atto", 1e-18, "1e-18", smallSiPrefixes},
    {"z", "zepto", 1e-21, "1e-21", smallSiPrefixes},
    {"y", "yocto", 1e-24, "1e-24", smallSiPrefixes},
    {"r", "ronto", 1e-27, "1e-27", smallSiPrefixes},
    {"q", "quecto", 1e-30, "1e-30", smallSiPrefixes},
    {"Ki", "kibi", 0x1p10, "2^10", binaryPrefixes},
    {"Mi", "mebi", 0x1p20, "2^20", binaryPrefixes},
    {"Gi", "gibi", 0x1p30, "2^30", binaryPrefixes},
    {"Ti", "tebi", 0x1p40, "2^40", binaryPrefixes},
    {"Pi", "pebi", 0x1p50, "2^50", binaryPrefixes},
    {"Ei", "exbi", 0x1p60, "2^60", binaryPrefixes},
    {"Zi", "zebi", 0x1p70, "2^70", binaryPrefixes},
    {"Yi", "yobi", 0x1p80, "2^80", binaryPrefixes},
};

// Whether rest is the name of base: as written, or ignoring letter case where no name of
// another unit differs from it only by that.
bool isName(std::string_view rest, const PrefixBase& base, const std::vector<PrefixBase>& bases) {
    if (rest == base.name) return true;
    const std::string folded = foldCase(base.name);
    if (foldCase(rest) != folded) return false;
    return std::none_of(bases.begin(), bases.end(), [&](const PrefixBase& other) {
        return other.label != base.label && foldCase(other.name) == folded;
    });
}

// "Nanoliters" of nano and Liters; "Megatonnes" of mega and Tonnes (metric tons).
std::string prefixedLabel(std::string_view word, std::string_view label) {
    std::string text(word);
    text.front() = static_cast<char>(text.front() - 'a' + 'A');
    text += label.substr(0, label.find(" ("));
    char& first = text[word.size()];
    if (first >= 'A' && first <= 'Z') first = static_cast<char>(first - 'A' + 'a');
    return text;
}

} // namespace

std::vector<PrefixedUnit> prefixReadings(std::string_view typed,
                                         const std::vector<PrefixBase>& bases) {
    std::vector<PrefixedUnit> readings;
    for (const PrefixBase& base : bases)
        for (const Prefix& prefix : prefixes) {
            if ((base.kinds & prefix.kind) == 0) continue;
            const bool bySymbol = typed.starts_with(prefix.symbol) &&
                                  isName(typed.substr(prefix.symbol.size()), base, bases);
            const bool byWord =
                base.name.size() >= 3 && typed.size() > prefix.word.size() &&
                equalIgnoringCase(typed.substr(0, prefix.word.size()), prefix.word) &&
                isName(typed.substr(prefix.word.size()), base, bases);
            if (!bySymbol && !byWord) continue;
            const bool known = std::any_of(readings.begin(), readings.end(), [&](const auto& r) {
                return equalIgnoringCase(r.label, base.label) && r.factor == prefix.factor;
            });
            if (!known)
                readings.push_back({base.label, prefix.factor,
                                    prefixedLabel(prefix.word, base.label) + " (" +
                                        std::string(prefix.factorText) + " " + base.label + ")"});
        }
    return readings;
}
