#pragma once

#include <string>
#include <string_view>
#include <vector>

struct PrefixBase;

// A unit written with an SI or binary prefix before one of its names ("nl", "GWh", "kilonewton",
// "MiB"), read as the unprefixed unit times the prefix's factor. Which names take which prefixes
// is data: the "@si: L, l, litre" fields of names.txt (search/unit_names.h).
struct PrefixedUnit {
    // The unprefixed unit's label, as names.txt gives it.
    std::string label;
    double factor = 1.0;
    // The unit as the user is told it was read: "Nanoliters (1e-9 Liters)".
    std::string shown;
};

// Every reading of typed as a prefix and a name of bases, distinct by unit and factor. A prefix
// symbol is taken as written ("m" milli, "M" mega, "u" and "µ" micro, "Ki" kibi); a prefix word
// ("kilo", "mebi") ignoring letter case, and only before a name of three characters or more. The
// name after the prefix is compared as written where a name of another unit differs from it only
// by letter case ("b" the bit, "B" the byte), else ignoring it.
std::vector<PrefixedUnit> prefixReadings(std::string_view typed,
                                         const std::vector<PrefixBase>& bases);
