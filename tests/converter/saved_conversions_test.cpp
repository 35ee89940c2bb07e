#include "catalog/catalog.h"
#include "converter/converter_model.h"
#include "converter/kept_menus.h"
#include "lists/list_file.h"
#include "temp_dir.h"

#include <cctype>
#include <gtest/gtest.h>
#include <set>

namespace {

constexpr const char* catalogFile = "Length|ft-m|Feet|Meters|x*0.3048\r\n"
                                    "Length|m-ft|Meters|Feet|x/0.3048\r\n"
                                    "Mass|kg-lb|Kilograms|Pounds|x/0.45359237\r\n";

// One session of the window in a folder: started on construction, closed by close().
struct Session {
    ConversionCatalog catalog;
    ConverterModel model{catalog};
    explicit Session(const TempDir& dir) { EXPECT_TRUE(model.start(dir.path()).ok()); }
    void close() {
        for (const Status& step : model.close())
            EXPECT_TRUE(step.ok()) << step.why();
    }
};

std::vector<std::string> texts(const std::vector<ConverterModel::SavedRow>& rows) {
    std::vector<std::string> shown;
    for (const auto& row : rows)
        shown.push_back(row.text);
    return shown;
}

TEST(SavedConversions, KeptBetweenStartsAndRestored) {
    TempDir dir;
    writeBytes(dir.file("conv.txt"), catalogFile);
    {
        Session first(dir);
        ConverterModel& m = first.model;
        EXPECT_TRUE(m.recentRows().empty());
        m.onInputChanged("10");
        ASSERT_TRUE(m.toggleFavourite());
        m.onFromChanged(1);
        m.onTabChanged(1);
        m.onInputChanged("");
        // Leaving a conversion without a value adds nothing.
        m.onTabChanged(0);
        m.onInputChanged("3");
        EXPECT_EQ(texts(m.recentRows()),
                  (std::vector<std::string>{"Length: 10 Meters \u2192 Feet",
                                            "Length: 10 Feet \u2192 Meters"}));
        first.close();
    }
    Session second(dir);
    ConverterModel& m = second.model;
    // Where it was left: the pair, the value and its result.
    EXPECT_EQ(m.fromText(m.selectedFrom()), "Feet");
    EXPECT_EQ(m.inputText(), "3");
    EXPECT_EQ(m.resultText(), "0.9");
    EXPECT_TRUE(m.isFavourite());
    EXPECT_EQ(texts(m.favouriteRows()), std::vector<std::string>{"Length: Feet \u2192 Meters"});
    ASSERT_EQ(m.recentRows().size(), 3u);
    EXPECT_EQ(m.recentRows()[0].text, "Length: 3 Feet \u2192 Meters");
    // A recent conversion brings its value; a favourite keeps the one typed.
    m.showSaved(m.recentRows()[1]);
    EXPECT_EQ(m.fromText(m.selectedFrom()), "Meters");
    EXPECT_EQ(m.resultText(), "32.8");
    m.showSaved(m.favouriteRows()[0]);
    EXPECT_EQ(m.resultText(), "3.0");
    // Find offers them all before anything is typed, favourites first.
    const std::vector<FindRow> kept = m.keptFindRows();
    ASSERT_EQ(kept.size(), 4u);
    EXPECT_EQ(findRowText(kept[0]), "Length: Feet \u2192 Meters (favourite)");
    EXPECT_EQ(findRowText(kept[1]), "Length: 10 Meters \u2192 Feet (recent)");
    ConversionFinder finder(second.catalog, UnitNames(), NumberFormat());
    finder.setKeptRows(kept);
    const FindResults found = finder.find("");
    ASSERT_EQ(found.exactCount, 4);
    EXPECT_EQ(findRowText(found.rows[0]), findRowText(kept[0]));
    // The rest lists every other conversion once, none of the kept ones again.
    ASSERT_EQ(found.rows.size(), 5u);
    EXPECT_EQ(found.rows[4].match.conversion->toUnit(), "Pounds");
    m.toggleFavourite();
    m.clearRecent();
    EXPECT_TRUE(m.favouriteRows().empty());
    EXPECT_TRUE(m.recentRows().empty());
    // Closed on Mass with resuming turned off: the next start is the catalog's first.
    m.onTabChanged(1);
    ViewChoices choices = m.viewChoices();
    choices.resumeLast = false;
    m.setViewChoices(choices);
    second.close();
    EXPECT_EQ(Session(dir).model.selectedTab(), 0);
}

TEST(SavedConversions, DamagedOrStaleLinesAreKeptAndNoted) {
    TempDir dir;
    writeBytes(dir.file("conv.txt"), catalogFile);
    const std::string favourites = "Length\tFeet\tMeters\r\n"
                                   "Length\tFurlongs\tFeet\r\n"
                                   "Volume\tLiters\tGallons\r\n"
                                   "\xFF\xFE garbage\r\n";
    writeBytes(dir.file("favourites.txt"), favourites);
    writeBytes(dir.file("last.txt"), "Length\tFurlongs\tFeet\t5\r\n");
    writeBytes(dir.file("view.ini"), "keep-recent=0\r\n");
    Session session(dir);
    ConverterModel& m = session.model;
    // The last pair is gone: the start the catalog alone gives.
    EXPECT_EQ(m.fromText(m.selectedFrom()), "Feet");
    EXPECT_EQ(m.inputText(), "");
    EXPECT_EQ(m.favouriteRows().size(), 1u);
    const std::vector<std::string> expectedNotes = {
        "favourites.txt, line 2: Length has no conversion from Furlongs to Feet; the line is "
        "kept and not used.",
        "favourites.txt, line 3: conv.txt has no category Volume; the line is kept and not used.",
        "favourites.txt, line 4: it is not a conversion of the form Category, From, To, value "
        "separated by tabs; the line is kept and not used.",
        "last.txt, line 1: Length has no conversion from Furlongs to Feet; the line is kept and "
        "not used."};
    EXPECT_EQ(m.savedNotes(), expectedNotes);
    // Recent conversions are off: none is added, and the file is not made.
    m.onInputChanged("4");
    m.onTabChanged(1);
    EXPECT_TRUE(m.recentRows().empty());
    m.onTabChanged(0);
    // The one favourite read is unmarked; the lines not used stay.
    m.toggleFavourite();
    session.close();
    EXPECT_FALSE(std::filesystem::exists(dir.file("recent.txt")));
    EXPECT_EQ(readListLines(dir.file("favourites.txt")),
              (std::vector<std::string>{"Length\tFurlongs\tFeet", "Volume\tLiters\tGallons",
                                        "\xFF\xFE garbage"}));
}

TEST(SavedConversions, EachMenuGivesEveryItemALetterOfItsOwn) {
    TempDir dir;
    writeBytes(dir.file("conv.txt"), catalogFile);
    Session session(dir);
    for (const auto& items : {viewMenuItems(session.model), favouritesMenuItems(session.model),
                              recentMenuItems(session.model)}) {
        std::set<char> letters;
        for (const KeptMenuItem& item : items)
            if (const std::size_t at = item.text.find('&'); at != std::string::npos) {
                EXPECT_TRUE(letters.insert(std::tolower(item.text[at + 1])).second) << item.text;
            }
    }
}

} // namespace
