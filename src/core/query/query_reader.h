#pragma once

#include "names/unit_vocabulary.h"
#include "query/unit_pair.h"
#include "result.h"
#include "value/value_reader.h"

#include <string>
#include <string_view>
#include <vector>

class Category;
class ConversionCatalog;
class UnitNames;

// The one reader of what people type to convert: --convert, Find and the value field all read
// through it, in one pass. The text is normalized, parted by the grammar (query_grammar.h) into
// an amount, the units converted from and those converted to, and each side is looked up whole
// in the vocabulary of exact names (names/unit_vocabulary.h). Nothing is read as a unit that has
// no such name: a side that names nothing is refused with the closest names, and two units of
// different quantities are refused.
//
// Where a text could be read in more than one way, these rules decide, in this order; where none
// does, nothing is converted, and the refusal names the readings:
//  1. Letter case: a name the phrase is as written counts before those it matches only with
//     letter case set aside, so case decides where two names differ by it alone: "Ms" is the
//     megasecond, not "ms"; "mW" and "MW" differ, and "mw" and "Mw" name both. Otherwise case is
//     ignored ("KM" is "km").
//  2. Whole before made: as written, a name or label as a whole before one made of it by a
//     plural ending or a prefix ("rads" is the dose, "Gs" the gauss); set aside, letter case
//     says nothing, and "mpa" is "MPa" no more than milli and "Pa".
//  3. The longest name: the words of a side make one unit before several ("nautical miles",
//     "kcal IT", "7 litres per 100 km"); only a side that names no unit whole is a value in
//     several units ("5 ft 11 in") or, as To side, the units of a split result ("ft in").
//  4. The other side: a phrase that names units of several categories is the one of the
//     category of the other side ("ft-lb" to "N m" is the torque), never a unit it has no name of.
//  5. The catalog's order: where two categories hold the same pair of labels, the first in the
//     file (the command line's --category names another).
//  6. "in" and "as": of the ways the grammar parts a query at them, the one whose sides both read.
//
// A query marked as a difference ("10 C° to F°", "Δ10 °C", "10 delta C to F"; query_grammar.h) is
// read without its marks, and its units are then taken as their differences: the units of the
// catalog labelled as they are with " (difference)" after them, in one category. Where the catalog
// has none, the query is refused, never read as the units themselves.

// A conversion a query asks for.
struct QueryReading {
    // The value as typed ("5", "1 1/2", "5 ft 11 in"); empty where none is written, which
    // counts as 1.
    std::string valueText;
    // The value in the From unit: the number, or the sum of a value's parts.
    double value = 1.0;
    // The parts of a value in several units as read ("5 Feet (international) + 11 Inches
    // (international)"); empty otherwise.
    std::string readAs;
    UnitPair pair;
    // The units were found by names, not given as their labels: the user is to hear which.
    bool byNames = false;
};

// A value field's text in one unit of a category.
struct AmountRead {
    double value = 0.0;
    // The units read, for the user to check ("5 Feet (international) + 11 Inches
    // (international)"); empty for a number alone.
    std::string readAs;
};

// The most a query may hold, in bytes: more than any query needs, and what a value may hold.
inline constexpr std::size_t maxQueryLength = maxValueLength;

class QueryReader {
  public:
    // catalog and names must outlive the reader. catalogName is the catalog as the user knows
    // it, for messages ("conv.txt").
    QueryReader(const ConversionCatalog& catalog, const UnitNames& names, VocabularyScope scope,
                NumberFormat format, std::string catalogName = "conv.txt");
    QueryReader(const ConversionCatalog&, UnitNames&&, VocabularyScope, NumberFormat,
                std::string = {}) = delete;

    // The one conversion a query means ("5 mi to km", "how many feet in a mile"), or why there
    // is none, or none that is sure, as a sentence for the user.
    Result<QueryReading> conversion(std::string_view query) const;
    // The same for a value, a From unit and a To unit given apart (the command line's three
    // arguments), or a value with its units and a To unit ("5 ft 11 in", "cm") where from is
    // empty.
    Result<QueryReading> conversion(std::string_view value, std::string_view from,
                                    std::string_view to) const;

    // Every conversion a query may mean, for Find to list: each way of reading it, also of one
    // side alone (a From unit alone, "5 mi", leaves To empty; "to km" leaves From empty). None,
    // with why, where it names no unit exactly; why names no closest labels, which Find's
    // suggestions show.
    struct Readings {
        std::vector<QueryReading> readings;
        std::string whyNone;
    };
    Readings everyReading(std::string_view query) const;

    // A value field's text read in unit of category: a number, or a value with units of the
    // category ("5 ft 11 in" in Meters), each converted with the catalog's lines.
    Result<AmountRead> amount(std::string_view text, const Category& category,
                              std::string_view unit) const;

    const UnitVocabulary& vocabulary() const { return vocabulary_; }
    const NumberFormat& numberFormat() const { return format_; }

  private:
    struct Side;
    struct SideUnit;
    struct Refusal;
    struct Candidate;
    Side unitsSide(std::string_view phrase, double value, std::string valueText) const;
    Side fromSide(std::string_view text, bool valueOne) const;
    Side toSide(std::string_view text) const;
    Side partsSide(const QuantityRead& read, std::string_view typed) const;
    Result<SideUnit> partsIn(const QuantityRead& read, const Category& category,
                             std::string_view target) const;
    std::vector<Candidate> candidates(const Side& from, const Side& to) const;
    // How far a way of reading got: the refusal of the way that got furthest is the one heard.
    int stageOf(const Side& from, const Side& to) const;
    // withClosest: a unit no name has is refused with the labels closest to it (which Find's
    // suggestions show on their own).
    Result<QueryReading> decide(const Side& from, const Side& to, bool withClosest = true) const;
    Result<QueryReading> readingOf(const Side& from, const Side& to,
                                   const Candidate& candidate) const;
    std::string unknownUnit(const Side& side, bool from, bool withClosest = true) const;
    // Up to three units of category whose names hold what was typed as a word ("oz" of "fl
    // oz"), for a refusal to offer.
    std::vector<std::string> lookAlikes(std::string_view typed, const Category& category) const;
    std::string noConversion(const Side& from, const UnitReading& source,
                             std::string_view to) const;
    std::string sideNames(const Side& side) const;
    // The reading with its units as their differences, or why there are none.
    Result<QueryReading> asDifference(QueryReading reading) const;

    const ConversionCatalog& catalog_;
    const UnitNames& names_;
    VocabularyScope scope_;
    UnitVocabulary vocabulary_;
    NumberFormat format_;
    std::string catalogName_;
};
