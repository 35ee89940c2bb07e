#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct PrefixBase;

// A unit written with an SI or binary prefix before one of its names ("nl", "GWh", "kilonewton",
// "MiB", "dm3"), read as the unprefixed unit times the prefix's factor, or its power for a name
// of a square or cubic unit. Which names take which prefixes is data: the "@si: L, l, litre"
// fields of names.txt (search/unit_names.h).
struct PrefixedUnit {
    // The unprefixed unit's label, as names.txt gives it.
    std::string label;
    double factor = 1.0;
    // The unit as the user is told it was read: "Nanoliters (1e-9 Liters)".
    std::string shown;
};

// A prefix that a typed text starts with, and how many of its bytes the prefix takes.
struct LeadingPrefix {
    std::string_view word;
    double factor = 1.0;
    // The kind of prefix (PrefixKind of unit_names.h).
    unsigned kind = 0;
    std::size_t length = 0;
    // Written as its word ("kilo"), not its symbol ("k").
    bool byWord = false;
};

// The prefixes typed may start with, each leaving a name after it: a symbol as written ("m"
// milli, "M" mega, "u" and "µ" micro, "Ki" kibi), a word ignoring letter case ("kilo", "mebi")
// only before three characters or more.
std::vector<LeadingPrefix> leadingPrefixes(std::string_view typed);

// Whether a name takes a prefix word before it ("kilo" before "newton"): one of three characters
// or more; a symbol takes only a prefix symbol ("km", not "kilom").
bool takesPrefixWord(std::string_view name);

// The prefixed unit of a base: its factor (the prefix's to the base's power) and the text that
// says what was read ("Nanoliters (1e-9 Liters)", "Cubic decimeters (0.001 Cubic meters)").
PrefixedUnit prefixedUnit(const LeadingPrefix& prefix, const PrefixBase& base);

// Every reading of typed as a prefix and a name of bases, distinct by unit and factor. The name
// after the prefix is compared as written where a name of another unit differs from it only by
// letter case ("b" the bit, "B" the byte), else ignoring it.
std::vector<PrefixedUnit> prefixReadings(std::string_view typed,
                                         const std::vector<PrefixBase>& bases);
