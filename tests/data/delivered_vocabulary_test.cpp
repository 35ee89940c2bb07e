// Properties of the whole delivered vocabulary, asked of every unit and name.
#include "delivered_catalog.h"
#include "text/case_fold.h"
#include "text/display_text.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

class DeliveredVocabulary : public DeliveredCatalog {
  protected:
    // A unit of the same category that unit has a line to.
    std::string otherOf(const UnitVocabulary::Unit& unit) const {
        for (const auto& line : unit.category->conversions())
            if (line.fromUnit() == unit.label) return toDisplayText(line.toUnit());
        return {};
    }
};

TEST_F(DeliveredVocabulary, NoTwoUnitsOfTwoCategoriesConvert) {
    const std::vector<UnitVocabulary::Unit>& units = reader->vocabulary().units();
    int asked = 0;
    for (const UnitVocabulary::Unit& from : units)
        for (const UnitVocabulary::Unit& to : units) {
            if (from.category == to.category) continue;
            ++asked;
            const Result<QueryReading> read =
                reader->conversion("1", toDisplayText(from.label), toDisplayText(to.label));
            EXPECT_FALSE(read.ok())
                << toDisplayText(from.label) << " to " << toDisplayText(to.label);
        }
    EXPECT_GT(asked, 100000);
}

// Each label and each name of several words reads whole, as From and as To: never split into a
// value in parts or a result in parts, never a word of it taken for a unit.
TEST_F(DeliveredVocabulary, EveryLabelAndNameOfSeveralWordsIsReadWhole) {
    int asked = 0;
    for (const UnitVocabulary::Unit& unit : reader->vocabulary().units()) {
        const std::string label = toDisplayText(unit.label);
        std::vector<std::string> texts = names.of(label);
        std::erase_if(texts, [](const std::string& name) {
            return name.find_first_of(" -") == std::string::npos &&
                   name.find("\xC2\xB7") == std::string::npos; // ·
        });
        texts.push_back(label);
        const std::string other = otherOf(unit);
        for (const std::string& text : texts) {
            ++asked;
            const Result<QueryReading> from = reader->conversion("2 " + text + " to " + other);
            ASSERT_TRUE(from.ok()) << text << ": " << from.why();
            EXPECT_EQ(from->pair.fromUnit, unit.label) << text;
            EXPECT_EQ(from->value, 2) << text;
            const Result<QueryReading> to = reader->conversion("2 " + other + " to " + text);
            ASSERT_TRUE(to.ok()) << text << ": " << to.why();
            EXPECT_EQ(to->pair.toUnit, unit.label) << text;
            EXPECT_TRUE(to->pair.splitWords.empty()) << text;
        }
    }
    EXPECT_GT(asked, 1000);
}

// The phrasings people use, made of every name of every unit: with an article or "one", after
// "what is", in the how-many form, with a period or a plural ending, in other letter case. Each
// is read as that unit with the value written, or as a unit the words name as written, or
// refused; never as another unit.
TEST_F(DeliveredVocabulary, EveryPhrasingOfEveryNameIsReadRightOrRefused) {
    int read = 0;
    int refused = 0;
    for (const UnitVocabulary::Unit& unit : reader->vocabulary().units()) {
        const std::string label = toDisplayText(unit.label);
        const std::string other = otherOf(unit);
        std::vector<std::string> texts = names.of(label);
        texts.push_back(label);
        for (const std::string& name : texts) {
            std::string upper = name;
            for (char& c : upper)
                c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
            std::string title = foldCase(name);
            if (!title.empty() && title[0] >= 'a' && title[0] <= 'z') title[0] -= 'a' - 'A';
            const struct {
                std::string query;
                double value;
                std::string typed;
                bool from;
            } phrasings[] = {
                {"a " + name + " in " + other, 1, name, true},
                {"one " + name + " to " + other, 1, name, true},
                {"what is 2 " + name + " in " + other + "?", 2, name, true},
                {"convert 3 " + name + " to " + other, 3, name, true},
                {"how many " + other + " in a " + name, 1, name, true},
                {"how many " + other + " are in 4 " + name + "?", 4, name, true},
                {"how many " + name + " in 5 " + other, 5, name, false},
                {"6 " + name + ". to " + other, 6, name, true},
                {"7 " + name + "s to " + other, 7, name + "s", true},
                {"8 " + upper + " to " + other, 8, upper, true},
                {"9 " + foldCase(name) + " to " + other, 9, foldCase(name), true},
                {"10 " + title + " to " + other, 10, title, true},
            };
            for (const auto& phrasing : phrasings) {
                const Result<QueryReading> reading = reader->conversion(phrasing.query);
                if (!reading) {
                    ++refused;
                    continue;
                }
                ++read;
                const std::string_view unitRead =
                    phrasing.from ? reading->pair.fromUnit : reading->pair.toUnit;
                const std::string_view otherRead =
                    phrasing.from ? reading->pair.toUnit : reading->pair.fromUnit;
                EXPECT_EQ(toDisplayText(otherRead), other) << phrasing.query;
                EXPECT_EQ(reading->value, phrasing.from ? phrasing.value : 5) << phrasing.query;
                if (unitRead == unit.label) continue;
                // Another unit only by a name that is so as written ("MB" beside "Mb").
                bool asWritten = false;
                for (const UnitReading& other : reader->vocabulary().everyReading(phrasing.typed))
                    asWritten =
                        asWritten || (other.unit == unitRead && other.fit == CaseFit::AsWritten);
                EXPECT_TRUE(asWritten)
                    << phrasing.query << " is read as " << toDisplayText(unitRead);
            }
        }
    }
    // Most phrasings read; the refused are case variants that name two units, or none.
    EXPECT_GT(read, 10 * refused);
}

} // namespace
