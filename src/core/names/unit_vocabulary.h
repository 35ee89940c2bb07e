#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class Category;
class ConversionCatalog;
class NameIndex;
class UnitNames;
struct PrefixBase;

// The exact names of a catalog's units: what a typed phrase names, and nothing looser. A phrase
// names a unit only as a whole, through a name the unit has: its label, a name of names.txt
// (search/unit_names.h), the singular of a plural it is ("cups", "cubic feet"), or a prefix before
// a name that takes one ("nl", "kilonewton", "dm3"). Letters in order, typos and single words of
// longer names are never readings here; Find ranks those as suggestions.
//
// Names are compared as search/search_text.h keys them ("m²" is "m2", "°C" is "C", "N·m" is
// "N m"), and a period that ends a word is an abbreviation's ("in.", "fl. oz."). Letter case is
// compared too, and says how well a reading fits what was typed (CaseFit).

// How the letters typed agree with a name: as written, or only with letter case set aside ("Ms"
// is "ms" so, and "mw" both "mW" and "MW").
enum class CaseFit : std::uint8_t { AsWritten, CaseAside };

// Where a reading comes from: the phrase is a name or a label as a whole, or a name made of one
// by a plural ending or a prefix.
enum class NameSource : std::uint8_t { Whole, Singular, Prefixed };

struct UnitReading {
    const Category* category = nullptr;
    // The unit's label, as the catalog holds it.
    std::string_view unit;
    // A prefix's factor on unit; 1 for none.
    double factor = 1.0;
    // The unit as the user is told it was read: its label, or "Nanoliters (1e-9 Liters)".
    std::string shown;
    // The name or label the phrase matched, as the vocabulary holds it ("mW").
    std::string name;
    CaseFit fit = CaseFit::AsWritten;
    NameSource source = NameSource::Whole;
};

// What a phrase names once the rules for one phrase have spoken (UnitVocabulary::read).
struct PhraseReading {
    // The units meant, in the categories' file order; several where the phrase names units of
    // several categories or several equally ("mw").
    std::vector<UnitReading> units;
    // Units the phrase names only in another letter case than a unit kept ("t" beside "T"), for
    // a refusal to mention.
    std::vector<UnitReading> otherCase;
};

// Which categories the vocabulary covers.
struct VocabularyScope {
    // The hidden ones too (the command line converts them; the window shows only the others).
    bool hiddenToo = true;
    // Only this one, when given.
    const Category* only = nullptr;
};

class UnitVocabulary {
  public:
    // The catalog and the names must outlive the vocabulary; the names are shared, not copied.
    UnitVocabulary(const ConversionCatalog& catalog, const UnitNames& names,
                   VocabularyScope scope = {});
    ~UnitVocabulary();
    UnitVocabulary(UnitVocabulary&&) noexcept;
    UnitVocabulary& operator=(UnitVocabulary&&) noexcept;

    // What phrase names. Of its readings, those as written count before those that match only
    // with letter case set aside; as written, a whole name counts before one made of it by a
    // plural ending or a prefix ("rads" is the dose, not radians; "Gs" the gauss, not
    // gigaseconds). Readings of one unit and size are one ("ms" is Milliseconds, and milli and
    // s). The units left are the phrase's meaning; where they are several, only the other side
    // of a query can choose among them (query/query_reader.h), or nothing does.
    PhraseReading read(std::string_view phrase) const;
    // Every reading of phrase, before those rules.
    std::vector<UnitReading> everyReading(std::string_view phrase) const;

    // Every unit the vocabulary covers: its category and its label, in the catalog's order.
    struct Unit {
        const Category* category;
        std::string_view label;
    };
    const std::vector<Unit>& units() const { return units_; }

    // The units of category with a name or label of several words, one of them key (searchKey,
    // "oz" of "fl oz"): no reading, only what a refusal may offer.
    std::vector<std::string_view> unitsWithWord(std::string_view key,
                                                const Category& category) const;

    // The size of unit in toUnit, both of category, where a catalog line converts by a plain
    // factor (no zero of its own, as °C to °F has, and no reciprocal); 0 where none does. 1 for
    // a unit to itself.
    double sizeIn(const Category& category, std::string_view unit, std::string_view toUnit) const;

  private:
    // The units of a key (searchKey of the label), a range of keyed_.
    std::pair<std::size_t, std::size_t> unitsOfKey(std::string_view key) const;
    void addReadings(std::string_view caseKey, NameSource source,
                     std::vector<UnitReading>& readings) const;
    void addPrefixed(std::string_view caseKey, std::vector<UnitReading>& readings) const;
    UnitReading readingOf(const Unit& unit, std::string_view name, std::string_view caseKey,
                          NameSource source) const;

    std::vector<Unit> units_;
    // The keys of the labels, one after another, and each unit's key in it, sorted by key: a
    // large catalog costs a few bytes a label, not an entry of a hash table.
    std::string keyTexts_;
    struct Keyed {
        std::uint32_t start;
        std::uint32_t size;
        std::uint32_t unit;
    };
    std::vector<Keyed> keyed_;
    // The units of each label of names.txt.
    std::unordered_map<int, std::vector<std::uint32_t>> byNamesLabel_;
    std::shared_ptr<const NameIndex> names_;
    // The names that take prefixes, by their key, each with the units of its label.
    struct Base {
        const PrefixBase* base;
        std::uint32_t unit;
    };
    std::vector<PrefixBase> bases_;
    std::unordered_map<std::string, std::vector<Base>> basesByKey_;
    // The words of the names of several words of each category asked of unitsWithWord, each with
    // its unit: made at the first question, as only refusals ask.
    mutable std::unordered_map<const Category*,
                               std::vector<std::pair<std::string, std::string_view>>>
        wordsByCategory_;
};
