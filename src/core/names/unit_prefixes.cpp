#include "names/unit_prefixes.h"

#include "names/unit_names.h"
#include "text/case_fold.h"
#include "text/search_text.h"

#include <algorithm>
#include <cmath>

namespace {

struct Prefix {
    std::string_view symbol;
    std::string_view word;
    // The factor is radix to the power exponent.
    int radix;
    int exponent;
    unsigned kind;
};

// clang-format off
constexpr Prefix prefixes[] = {
    {"Q", "quetta", 10, 30, largeSiPrefixes},
    {"R", "ronna", 10, 27, largeSiPrefixes},
    {"Y", "yotta", 10, 24, largeSiPrefixes},
    {"Z", "zetta", 10, 21, largeSiPrefixes},
    {"E", "exa", 10, 18, largeSiPrefixes},
    {"P", "peta", 10, 15, largeSiPrefixes},
    {"T", "tera", 10, 12, largeSiPrefixes},
    {"G", "giga", 10, 9, largeSiPrefixes},
    {"M", "mega", 10, 6, largeSiPrefixes},
    {"k", "kilo", 10, 3, largeSiPrefixes},
    {"h", "hecto", 10, 2, decaHectoPrefixes},
    {"da", "deca", 10, 1, decaHectoPrefixes},
    {"da", "deka", 10, 1, decaHectoPrefixes},
    {"d", "deci", 10, -1, smallSiPrefixes},
    {"c", "centi", 10, -2, smallSiPrefixes},
    {"m", "milli", 10, -3, smallSiPrefixes},
    {"\xC2\xB5", "micro", 10, -6, smallSiPrefixes}, // µ, the micro sign
    {"\xCE\xBC", "micro", 10, -6, smallSiPrefixes}, // μ, the Greek letter
    {"u", "micro", 10, -6, smallSiPrefixes},
    {"n", "nano", 10, -9, smallSiPrefixes},
    {"p", "pico", 10, -12, smallSiPrefixes},
    {"f", "femto", 10, -15, smallSiPrefixes},
    {"a", "atto", 10, -18, smallSiPrefixes},
    {"z", "zepto", 10, -21, smallSiPrefixes},
    {"y", "yocto", 10, -24, smallSiPrefixes},
    {"r", "ronto", 10, -27, smallSiPrefixes},
    {"q", "quecto", 10, -30, smallSiPrefixes},
    {"Ki", "kibi", 2, 10, binaryPrefixes},
    {"Mi", "mebi", 2, 20, binaryPrefixes},
    {"Gi", "gibi", 2, 30, binaryPrefixes},
    {"Ti", "tebi", 2, 40, binaryPrefixes},
    {"Pi", "pebi", 2, 50, binaryPrefixes},
    {"Ei", "exbi", 2, 60, binaryPrefixes},
    {"Zi", "zebi", 2, 70, binaryPrefixes},
    {"Yi", "yobi", 2, 80, binaryPrefixes},
};
// clang-format on

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

// "Nanoliters" of nano and Liters; "Megatonnes" of mega and Tonnes (metric tons); "Cubic
// decimeters" of deci and Cubic meters: the prefix goes before the last word of the label.
std::string prefixedLabel(std::string_view word, std::string_view label) {
    label = label.substr(0, label.find(" ("));
    const std::size_t lastWord = label.rfind(' ') + 1;
    std::string text(label.substr(0, lastWord));
    std::string prefix(word);
    if (lastWord == 0) prefix.front() = static_cast<char>(prefix.front() - 'a' + 'A');
    text += prefix;
    text += label.substr(lastWord);
    char& first = text[lastWord + word.size()];
    first = asciiLower(first);
    return text;
}

// radix to the power exponent as people write it: "1000", "0.001", "1e-9", "2^20".
std::string powerText(int radix, int exponent) {
    if (radix == 2) return "2^" + std::to_string(exponent);
    if (exponent >= 0 && exponent <= 3)
        return "1" + std::string(static_cast<std::size_t>(exponent), '0');
    if (exponent < 0 && exponent >= -3)
        return "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + "1";
    return "1e" + std::to_string(exponent);
}

} // namespace

std::vector<LeadingPrefix> leadingPrefixes(std::string_view typed) {
    std::vector<LeadingPrefix> found;
    for (const Prefix& prefix : prefixes) {
        const auto factor = [&] {
            return std::pow(static_cast<double>(prefix.radix), prefix.exponent);
        };
        if (typed.size() > prefix.symbol.size() && typed.starts_with(prefix.symbol))
            found.push_back({prefix.word, factor(), prefix.kind, prefix.symbol.size(), false});
        // One word for the three symbols of micro; a word is compared only where its first
        // letter is typed.
        const bool wordSeen = &prefix != prefixes && prefix.word == (&prefix - 1)->word;
        if (!wordSeen && typed.size() >= prefix.word.size() + 3 &&
            (typed[0] | 0x20) == prefix.word[0] &&
            equalIgnoringCase(typed.substr(0, prefix.word.size()), prefix.word))
            found.push_back({prefix.word, factor(), prefix.kind, prefix.word.size(), true});
    }
    return found;
}

bool takesPrefixWord(std::string_view name) {
    std::size_t characters = 0;
    for (std::size_t at = 0; at < name.size() && characters < 3; at += characterLength(name, at))
        ++characters;
    return characters >= 3;
}

PrefixedUnit prefixedUnit(const LeadingPrefix& prefix, const PrefixBase& base) {
    const Prefix* row = std::find_if(std::begin(prefixes), std::end(prefixes),
                                     [&](const Prefix& p) { return p.word == prefix.word; });
    const int exponent = row->exponent * base.power;
    const double factor = std::pow(static_cast<double>(row->radix), exponent);
    return {base.label, factor,
            prefixedLabel(prefix.word, base.label) + " (" + powerText(row->radix, exponent) + " " +
                base.label + ")"};
}

std::vector<PrefixedUnit> prefixReadings(std::string_view typed,
                                         const std::vector<PrefixBase>& bases) {
    std::vector<PrefixedUnit> readings;
    for (const LeadingPrefix& prefix : leadingPrefixes(typed))
        for (const PrefixBase& base : bases) {
            if ((base.kinds & prefix.kind) == 0 || (prefix.byWord && !takesPrefixWord(base.name)) ||
                !isName(typed.substr(prefix.length), base, bases))
                continue;
            PrefixedUnit unit = prefixedUnit(prefix, base);
            const bool known = std::any_of(readings.begin(), readings.end(), [&](const auto& r) {
                return equalIgnoringCase(r.label, unit.label) && r.factor == unit.factor;
            });
            if (!known) readings.push_back(std::move(unit));
        }
    return readings;
}
