#include "lists/list_file.h"
#include "lists/saved_pair.h"
#include "lists/view_choices.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

TEST(ListFile, EditsApplyToWhatIsThere) {
    const auto counted = [](std::string_view line) { return line.front() != '#'; };
    const struct {
        const char* what;
        Lines lines;
        ListEdits edits;
        Lines expected;
    } cases[] = {
        {"removed wherever it stands", {"a", "b", "a"}, {.removed = {"a"}}, {"b"}},
        {"added at the end", {"a"}, {.added = {"b", "c"}}, {"a", "b", "c"}},
        {"added at the top moves a line there",
         {"a", "b"},
         {.added = {"b"}, .addAtTop = true},
         {"b", "a"}},
        {"the limit drops the oldest counted lines and keeps the others",
         {"#x", "a", "#y", "b", "c"},
         {.added = {"n"}, .addAtTop = true, .limit = 2, .counts = counted},
         {"n", "#x", "a", "#y"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(applyListEdits(c.lines, c.edits), c.expected) << c.what;
}

TEST(ListFile, TwoInstancesKeepBothSetsOfChanges) {
    TempDir dir;
    const std::string path = dir.file("favourites.txt");
    writeBytes(path, "first\r\nline \xFF not ours\nsecond\n");
    // Both read the file at start; each writes only its own edits.
    ASSERT_TRUE(saveListEdits(path, {.removed = {"first"}, .added = {"mine"}}));
    ASSERT_TRUE(saveListEdits(path, {.removed = {"second"}, .added = {"theirs"}}));
    EXPECT_EQ(readListLines(path), (Lines{"line \xFF not ours", "mine", "theirs"}));
    EXPECT_TRUE(saveListEdits(dir.file("new.txt"), {.added = {"made"}}));
    EXPECT_EQ(readListLines(dir.file("new.txt")), Lines{"made"});
}

TEST(SavedPair, LinesReadOnlyWhenWholeAndClean) {
    const std::optional<SavedPair> none;
    const struct {
        std::string line;
        std::optional<SavedPair> expected;
    } cases[] = {
        {"Length\tMeters\tFeet", SavedPair{"Length", "Meters", "Feet", ""}},
        {"Length\tMeters\tFeet\t1,5", SavedPair{"Length", "Meters", "Feet", "1,5"}},
        {"Length\tMeters", none},
        {"Length\tMeters\tFeet\t1\textra", none},
        {"Length\t\tFeet", none},
        {"Length\tMet\xC3\tFeet", none},
        {std::string("Length\tMe\0ters\tFeet", 20), none},
        {"Length\tMeters\tFeet\t" + std::string(maxSavedPairLine, '1'), none},
    };
    for (const auto& c : cases)
        EXPECT_EQ(savedPairFromLine(c.line), c.expected) << c.line;
    // A value that would break the line is kept on one line, and read back as written.
    const SavedPair pasted{"Length", "Meters", "Feet", "1\t2\r\n3"};
    EXPECT_EQ(savedPairFromLine(savedPairLine(pasted))->value, "1 2  3");
}

TEST(ViewChoices, ReadAndChangedOneByOne) {
    TempDir dir;
    const std::string path = dir.file(viewChoicesFileName);
    EXPECT_EQ(readViewChoices(path), ViewChoices{});
    writeBytes(path, "always-on-top=1\r\nkeep-recent=0\ngarbage\nalways-on-top=0 \n"
                     "global-key=\nsignificant=2\nsignificant-digits=16\nscientific-from=9\n");
    const ViewChoices read = readViewChoices(path);
    ViewChoices expected;
    expected.keepRecent = false;
    expected.globalKey = "";
    expected.numbers.scientificFrom = 9;
    EXPECT_EQ(read, expected);
    // This instance turns resuming off; another turned recent conversions back on meanwhile.
    ViewChoices mine = read;
    mine.resumeLast = false;
    mine.numbers.significant = true;
    writeBytes(path, "keep-recent=1\ngarbage\n");
    ASSERT_TRUE(saveListEdits(path, viewChoiceEdits(read, mine)));
    expected = mine;
    expected.keepRecent = true;
    expected.numbers.scientificFrom = NumberStyle().scientificFrom;
    expected.globalKey = ViewChoices().globalKey;
    EXPECT_EQ(readViewChoices(path), expected);
    EXPECT_EQ(readListLines(path)[1], "garbage");
}

} // namespace
