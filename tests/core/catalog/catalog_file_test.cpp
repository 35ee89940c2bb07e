#include "catalog/catalog.h"
#include "catalog/catalog_preload.h"
#include "failing_file_ops.h"
#include "files/line_reader.h"
#include "files/whole_file_writer.h"
#include "temp_dir.h"
#include "unprivileged.h"

#include <filesystem>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#ifndef _WIN32
#endif

namespace {

struct Loaded {
    bool ok = false;
    ConversionCatalog catalog;
};

void loadInto(Loaded& loaded, std::string_view bytes) {
    TempDir dir;
    writeBytes(dir.file("conv.txt"), bytes);
    loaded.ok = loaded.catalog.load(dir.file("conv.txt"));
}

// "name:visible" for each category, then "from>to=formula" for each conversion.
std::vector<std::string> describe(const ConversionCatalog& catalog) {
    std::vector<std::string> out;
    for (int id = 0; id < catalog.categoryCount(); ++id) {
        const Category& category = *catalog.categoryAt(id);
        out.push_back(std::string(category.name()) + ":" + std::to_string(category.visible()));
        for (int c = 0; c < category.conversionCount(); ++c) {
            const Conversion& conversion = *category.conversionAt(c);
            out.push_back(
                std::string(conversion.name()) + "/" + std::string(conversion.fromUnit()) + ">" +
                std::string(conversion.toUnit()) + "=" + std::string(conversion.formula()));
        }
    }
    return out;
}

using Lines = std::vector<std::string>;

TEST(CatalogFile, FieldsAreSplitTrimmedAndShiftedLikeATokenizer) {
    struct Case {
        const char* what;
        const char* file;
        Lines expected;
    };
    const Case cases[] = {
        {"trailing blanks and CR LF",
         "L | n | ft |  m \t| x*0.3048  \r\n",
         {"L:1", "n/ft>m=x*0.3048"}},
        {"separators at the ends give no field", "|L|n|a|b|x\n", {"L:1", "n/a>b=x"}},
        {"an empty field shifts the later ones forward", "L|n||a|b|x\n", {"L:1", "n/a>b=x"}},
        {"fewer than five fields after the shift is ignored", "L||a|b|x\n", {}},
        {"blank-only field trims to empty", "L|  |a|b|x\n", {"L:1", "/a>b=x"}},
        {"lines without separators are ignored", "\n\nhello\n   \n", {}},
        {"a LF alone ends a line like CR LF",
         "A|n|a|b|1\nB|n|a|b|2\r\nA|m|c|d|3",
         {"A:1", "n/a>b=1", "m/c>d=3", "B:1", "n/a>b=2"}},
        {"a lone CR stays inside its field", "L|n|a\rb|c|x\n", {"L:1", "n/a\rb>c=x"}},
    };
    for (const auto& c : cases) {
        Loaded loaded;
        loadInto(loaded, c.file);
        EXPECT_TRUE(loaded.ok) << c.what;
        EXPECT_EQ(describe(loaded.catalog), c.expected) << c.what;
    }
}

TEST(CatalogFile, VisibleFlagComesFromTheSixthFieldOfTheLastLine) {
    struct Case {
        const char* what;
        const char* file;
        int visible;
    };
    const Case cases[] = {
        {"five fields", "C|n|a|b|x\n", 1},
        {"six fields, 0", "C|n|a|b|x|0\n", 0},
        {"six fields, 1", "C|n|a|b|x|1\n", 1},
        {"six fields, 0 with blanks and CR", "C|n|a|b|x| 0 \r\n", 0},
        {"six fields, leading digits only", "C|n|a|b|x|00abc\n", 0},
        {"six fields, negative", "C|n|a|b|x|-3\n", -3},
        {"six fields, huge number stays shown", "C|n|a|b|x|99999999999999999999\n", INT_MAX},
        {"seven fields", "C|n|a|b|x|0|0\n", 1},
        {"trailing separator before the line end", "C|n|a|b|x|\n", 0},
        {"trailing separator at the end of the file", "C|n|a|b|x|", 1},
        {"hidden first, shown last", "C|n|a|b|x|0\nC|n|a|b|x\n", 1},
        {"shown first, hidden last", "C|n|a|b|x\nC|n|a|b|x|0\n", 0},
    };
    for (const auto& c : cases) {
        Loaded loaded;
        loadInto(loaded, c.file);
        ASSERT_EQ(loaded.catalog.categoryCount(), 1) << c.what;
        EXPECT_EQ(loaded.catalog.categoryAt(0)->visible(), c.visible) << c.what;
    }
}

TEST(CatalogFile, LongLinesArriveInPiecesOf255Characters) {
    // 300 characters: a piece of 255 and one of 45 plus the line end, each parsed on its own.
    const std::string head = "A|n|a|b|" + std::string(255 - 8, 'y');
    const std::string tail = "B|m|c|d|" + std::string(45 - 8, 'z');
    Loaded loaded;
    loadInto(loaded, head + tail + "\r\n");
    EXPECT_EQ(describe(loaded.catalog), (Lines{"A:1", "n/a>b=" + std::string(247, 'y'), "B:1",
                                               "m/c>d=" + std::string(37, 'z')}));

    // Exactly 255 characters before the line end: read whole, the line end then comes alone.
    Loaded exact;
    loadInto(exact, head + "\nC|n|a|b|x\n");
    EXPECT_EQ(describe(exact.catalog),
              (Lines{"A:1", "n/a>b=" + std::string(247, 'y'), "C:1", "n/a>b=x"}));
}

// The lookups as plain walks from the front: categories by name, then source labels within a
// category, each the first match byte for byte; what the indexed load must reproduce.
struct LinearCategory {
    std::string name;
    std::vector<std::string> labels; // one per group, in group order
    std::vector<int> groups;         // one per conversion, in file order
};

std::vector<LinearCategory>
linearLoad(const std::vector<std::pair<std::string, std::string>>& lines) {
    std::vector<LinearCategory> categories;
    for (const auto& [name, label] : lines) {
        auto category = categories.begin();
        while (category != categories.end() && category->name != name)
            ++category;
        if (category == categories.end())
            category = categories.insert(categories.end(), LinearCategory{name, {}, {}});
        int group = 0;
        while (group < static_cast<int>(category->labels.size()) &&
               category->labels[static_cast<std::size_t>(group)] != label)
            ++group;
        if (group == static_cast<int>(category->labels.size())) category->labels.push_back(label);
        category->groups.push_back(group);
    }
    return categories;
}

TEST(CatalogFile, IndexedLoadGivesTheGroupsOfTheLinearWalk) {
    // Names and labels that differ only in case, inner blanks, a byte or a prefix, repeated and
    // interleaved across categories.
    const std::vector<std::string> names = {"Length",    "length",  "Mass", "Len gth",
                                            "L\xE9ngth", "Length2", "M"};
    std::vector<std::string> labels = {"Feet",
                                       "feet",
                                       "FEET",
                                       "Fe et",
                                       "Feet2",
                                       "F",
                                       "\xB0"
                                       "F",
                                       "\xC2\xB0"
                                       "F"};
    for (int i = 0; i < 40; ++i)
        labels.push_back("Unit " + std::to_string(i));
    for (unsigned seed : {1u, 2u, 3u, 4u, 5u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        std::vector<std::pair<std::string, std::string>> lines;
        std::string text;
        for (int i = 0; i < 3000; ++i) {
            const std::string& name = names[random() % names.size()];
            const std::string& label = labels[random() % labels.size()];
            lines.emplace_back(name, label);
            text += name + "|c" + std::to_string(i) + "|" + label + "|to|x\r\n";
        }
        Loaded loaded;
        loadInto(loaded, text);
        ASSERT_TRUE(loaded.ok);
        const std::vector<LinearCategory> expected = linearLoad(lines);
        ASSERT_EQ(loaded.catalog.categoryCount(), static_cast<int>(expected.size()));
        for (int id = 0; id < loaded.catalog.categoryCount(); ++id) {
            const Category& category = *loaded.catalog.categoryAt(id);
            const LinearCategory& want = expected[static_cast<std::size_t>(id)];
            EXPECT_EQ(category.name(), want.name);
            EXPECT_EQ(loaded.catalog.findCategory(want.name), &category);
            std::vector<int> groups;
            for (const auto& conversion : category.conversions())
                groups.push_back(conversion.fromGroup());
            EXPECT_EQ(groups, want.groups);
            // Each group's label where it first appears, as groups are numbered on load.
            std::vector<std::string> listed;
            for (const auto& conversion : category.conversions())
                if (conversion.fromGroup() == static_cast<int>(listed.size()))
                    listed.push_back(std::string(conversion.fromUnit()));
            EXPECT_EQ(listed, want.labels);
            for (std::size_t group = 0; group < want.labels.size(); ++group)
                EXPECT_EQ(category.findFromGroup(want.labels[group]), static_cast<int>(group));
        }
    }
}

// Pieces as a reader taking one character at a time from the stream makes them.
std::vector<std::string> piecesOneByOne(const std::string& bytes) {
    std::vector<std::string> pieces;
    std::string piece;
    for (std::size_t at = 0; at < bytes.size();) {
        char c = bytes[at++];
        if (c == '\r' && at < bytes.size() && bytes[at] == '\n') c = bytes[at++];
        piece.push_back(c);
        if (c == '\n' || piece.size() == LineReader::maxPiece) {
            pieces.push_back(piece);
            piece.clear();
        }
    }
    if (!piece.empty()) pieces.push_back(piece);
    return pieces;
}

TEST(CatalogFile, PiecesAreTheSameWhereverTheReadBlocksEnd) {
    // Line ends, lone CRs and long lines of every length, over many read blocks, so that CR LF
    // pairs, pieces and lines straddle block ends.
    for (unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        std::string bytes;
        while (bytes.size() < 200000) {
            const unsigned pick = random() % 100;
            if (pick < 6)
                bytes += "\r\n";
            else if (pick < 9)
                bytes += '\r';
            else if (pick < 12)
                bytes += '\n';
            else if (pick < 13)
                bytes += std::string(random() % 600, 'L');
            else
                bytes += static_cast<char>(' ' + random() % 95);
        }
        bytes += '\r'; // a CR as the very last byte stays a CR
        TempDir dir;
        writeBytes(dir.file("lines.txt"), bytes);
        std::FILE* file = std::fopen(dir.file("lines.txt").c_str(), "rb");
        ASSERT_TRUE(file);
        LineReader reader(file);
        std::vector<std::string> pieces;
        std::string piece;
        while (reader.next(piece))
            pieces.push_back(piece);
        std::fclose(file);
        EXPECT_EQ(pieces, piecesOneByOne(bytes));
    }
}

TEST(CatalogFile, APreloadGivesWhatALoadGivesOnceAndForItsPathOnly) {
    TempDir dir;
    const std::string path = dir.file("conv.txt");
    // Large enough for a thread of its own.
    std::string text = "A|a|m|ft|x\r\nB|b|kg|lb|x*2|0\r\nA|c|ft|m|x/3\r\n";
    while (text.size() < CatalogPreload::worthAThread)
        text += "C|n|" + std::to_string(text.size()) + "|b|x\r\n";
    writeBytes(path, text);
    ConversionCatalog direct;
    ASSERT_TRUE(direct.load(path));

    CatalogPreload preload(path);
    ConversionCatalog taken;
    EXPECT_EQ(preload.take(dir.file("other.txt"), taken), std::nullopt);
    EXPECT_EQ(preload.take(path, taken), std::optional<bool>(true));
    EXPECT_EQ(describe(taken), describe(direct));
    EXPECT_EQ(taken.findCategory("A"), taken.categoryAt(0));
    EXPECT_EQ(preload.take(path, taken), std::nullopt);

    // A missing or small file is left to the window's own load.
    writeBytes(dir.file("small.txt"), "A|a|m|ft|x\r\n");
    ConversionCatalog none;
    for (const char* name : {"absent.txt", "small.txt"})
        EXPECT_EQ(CatalogPreload(dir.file(name)).take(dir.file(name), none), std::nullopt);
    EXPECT_EQ(none.categoryCount(), 0);
    EXPECT_EQ(CatalogPreload(std::string()).take(std::string(), none), std::nullopt);
}

TEST(CatalogFile, MissingFileFailsAndEmptyFileLoadsNothing) {
    TempDir dir;
    ConversionCatalog missing;
    EXPECT_FALSE(missing.load(dir.file("absent.txt")));
    EXPECT_EQ(missing.categoryCount(), 0);

    Loaded empty;
    loadInto(empty, "");
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.catalog.categoryCount(), 0);
}

TEST(CatalogFile, AnOptionsSaveChangesTheHiddenMarksAndNoOtherByte) {
    const std::string longLine = "A|n|a|b|" + std::string(300, 'y') + "\r\n";
    // The reader takes 255 characters of a line at once, its line end not counted: "|0" would
    // push a line of 254 past them, and one of 253 just fits.
    const std::string line254 = "A|n|a|b|" + std::string(246, 'y') + "\r\n";
    const std::string line253 = "A|n|a|b|" + std::string(245, 'y') + "\r\n";
    const auto marked253 = line253.substr(0, line253.size() - 2) + "|0\r\n";
    struct Case {
        const char* what;
        std::string file;
        bool showA;
        std::optional<std::string> saved; // nothing: the save fails and the file stays
    };
    const Case cases[] = {
        {"lines stay where they are, LF ends and blank lines too",
         "A|n1|a|b|x\n\nB|n2|c|d|x*2\nA|n3|e|f|x/2\n", false,
         "A|n1|a|b|x|0\n\nB|n2|c|d|x*2\nA|n3|e|f|x/2|0\n"},
        {"note lines and lines that are no record", "# mine\r\nA|n|a|b|x  \r\nA|b\r\n", false,
         "# mine\r\nA|n|a|b|x|0  \r\nA|b\r\n"},
        {"a seventh field cannot carry a mark; the last line decides",
         "A|n|a|b|x|1|note\r\nA|m|a|c|y|1\r\n", false, "A|n|a|b|x|1|note\r\nA|m|a|c|y|0\r\n"},
        {"the mark goes before a NUL and what follows it", std::string("A|n|a|b|x\0|z\n", 14),
         false, std::string("A|n|a|b|x|0\0|z\n", 16)},
        {"a blank formula keeps a blank before the mark", "A|n|a|b|\r\n", false, "A|n|a|b| |0\r\n"},
        {"a long line keeps its tail", longLine + "A|m|c|d|z\r\n", false,
         longLine + "A|m|c|d|z|0\r\n"},
        {"shown: marks go, blanks and the byte order mark stay",
         "\xEF\xBB\xBF"
         "A|n| |b|x | 0 \r\nA|m|a|b|x|note\r\nA|k|a|b|x|\n",
         true,
         "\xEF\xBB\xBF"
         "A|n| |b|x  \r\nA|m|a|b|x\r\nA|k|a|b|x\n"},
        {"a category whose last line cannot carry the mark", "A|n|a|b|x|1|note\r\n", false,
         std::nullopt},
        {"a line the mark would push past 255 characters is left alone", line254 + "A|m|c|d|z\r\n",
         false, line254 + "A|m|c|d|z|0\r\n"},
        {"so is a category's last line", "A|m|c|d|z\r\n" + line254, false, std::nullopt},
        {"a line of 253 characters takes it", line253 + line253, false, marked253 + marked253},
    };
    for (const auto& c : cases) {
        Loaded loaded;
        loadInto(loaded, c.file);
        ASSERT_TRUE(loaded.catalog.findCategory("A")) << c.what;
        loaded.catalog.findCategory("A")->setVisible(c.showA ? 1 : 0);
        TempDir dir;
        writeBytes(dir.file("conv.txt"), c.file);
        EXPECT_EQ(static_cast<bool>(loaded.catalog.saveKeepingDiskEdits(dir.file("conv.txt"))),
                  c.saved.has_value())
            << c.what;
        EXPECT_EQ(readBytes(dir.file("conv.txt")), c.saved.value_or(c.file)) << c.what;
    }
}

TEST(CatalogFile, FileWrittenBySaveRoundTripsByteForByte) {
    Loaded loaded;
    loadInto(loaded, "Temp|C to F|Celsius|Fahrenheit|x*9/5+32\nLen|ft|Feet (US survey)|m|"
                     "x*1200/3937|0\nTemp|F to C|Fahrenheit|Celsius|(x-32)*5/9\n");
    TempDir dir;
    ASSERT_TRUE(loaded.catalog.save(dir.file("first.txt")));
    ConversionCatalog again;
    ASSERT_TRUE(again.load(dir.file("first.txt")));
    ASSERT_TRUE(again.save(dir.file("second.txt")));
    EXPECT_EQ(readBytes(dir.file("first.txt")), readBytes(dir.file("second.txt")));
    EXPECT_EQ(describe(again), describe(loaded.catalog));
}

TEST(CatalogFile, TextsWithoutALastLineEndAreNotGluedTogether) {
    ConversionCatalog catalog;
    catalog.loadText("A|n|a|b|x*2");
    catalog.loadText("\xEF\xBB\xBF"
                     "B|n|a|b|x*3");
    catalog.addCategory("C").addConversion("m", "c", "d", "x/2");
    EXPECT_EQ(catalog.fileText(), "A|n|a|b|x*2\r\nB|n|a|b|x*3\r\nC|m|c|d|x/2\r\n");
}

TEST(CatalogFile, BlankFieldsSurviveASave) {
    ConversionCatalog catalog;
    for (const char* name : {"S", "H"}) {
        Category& category = catalog.addCategory(name);
        category.addConversion("n", "", "b", "x"); // blank source label
        category.addConversion("", "a", "", "x");  // blank name and target label
        category.addConversion("n", "a", "b", ""); // blank formula, last on the line
    }
    catalog.categoryAt(1)->setVisible(0);
    TempDir dir;
    ASSERT_TRUE(catalog.save(dir.file("conv.txt")));
    EXPECT_EQ(readBytes(dir.file("conv.txt")).substr(0, 33),
              "S|n| |b|x\r\nS| |a| |x\r\nS|n|a|b| \r\n");
    ConversionCatalog again;
    ASSERT_TRUE(again.load(dir.file("conv.txt")));
    EXPECT_EQ(describe(again), describe(catalog));
}

TEST(CatalogFile, AByteOrderMarkIsNoPartOfTheNameAndIsWrittenBack) {
    Loaded loaded;
    loadInto(loaded, "\xEF\xBB\xBFLength|n|a|b|x\r\nLength|m|c|d|x\r\n");
    EXPECT_EQ(describe(loaded.catalog), (Lines{"Length:1", "n/a>b=x", "m/c>d=x"}));
    loaded.catalog.categoryAt(0)->setVisible(0);
    TempDir dir;
    ASSERT_TRUE(loaded.catalog.save(dir.file("conv.txt")));
    EXPECT_EQ(readBytes(dir.file("conv.txt")),
              "\xEF\xBB\xBFLength|n|a|b|x|0\r\nLength|m|c|d|x|0\r\n");

    // A mark inside the file belongs to its line; written first, it keeps a mark before it.
    Loaded inside;
    loadInto(inside, "L|n|a|b\n\xEF\xBB\xBFM|n|a|b|x\r\n");
    ASSERT_TRUE(inside.catalog.save(dir.file("inside.txt")));
    ConversionCatalog again;
    ASSERT_TRUE(again.load(dir.file("inside.txt")));
    EXPECT_EQ(describe(again), describe(inside.catalog));
    EXPECT_EQ(describe(again), (Lines{"\xEF\xBB\xBFM:1", "n/a>b=x"}));
}

TEST(CatalogFile, EditsMadeOnDiskSinceTheLoadSurviveTheClosingSave) {
    TempDir dir;
    const std::string path = dir.file("conv.txt");
    writeBytes(path, "A|n|a|b|x\r\nB|n|a|b|x\r\nC|n|a|b|x|0\r\n");
    ConversionCatalog catalog;
    ASSERT_TRUE(catalog.load(path));
    catalog.categoryAt(0)->setVisible(0); // hidden in Options
    catalog.categoryAt(2)->setVisible(1); // shown in Options

    // Unchanged on disk: written from memory.
    ASSERT_TRUE(catalog.saveKeepingDiskEdits(path));
    EXPECT_EQ(readBytes(path), "A|n|a|b|x|0\r\nB|n|a|b|x\r\nC|n|a|b|x\r\n");

    // Edited meanwhile (a formula changed, a line and a category added, B hidden by hand): the
    // edits stay, and only the choices made in the program are carried over.
    writeBytes(path, "\xEF\xBB\xBF"
                     "B|n|a|b|x*2|0\r\nA|n|a|b|x\r\nC|n|a|b|x|0\r\nD|n|a|b|x\r\n");
    ASSERT_TRUE(catalog.saveKeepingDiskEdits(path));
    EXPECT_EQ(readBytes(path), "\xEF\xBB\xBF"
                               "B|n|a|b|x*2|0\r\nA|n|a|b|x|0\r\nC|n|a|b|x\r\nD|n|a|b|x\r\n");

    // Gone from disk: nothing is written and the caller hears of it.
    std::filesystem::remove(path);
    EXPECT_FALSE(catalog.saveKeepingDiskEdits(path));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(CatalogFile, TwoInstancesClosingTogetherKeepBothChoices) {
    for (int run = 0; run < 20; ++run) {
        TempDir dir;
        const std::string path = dir.file("conv.txt");
        writeBytes(path, "A|n|a|b|x\r\nB|n|a|b|x\r\nC|n|a|b|x\r\n");
        ConversionCatalog first;
        ConversionCatalog second;
        ASSERT_TRUE(first.load(path) && second.load(path));
        first.categoryAt(0)->setVisible(0);
        second.categoryAt(2)->setVisible(0);
        // Both start at one signal. (A gate of a promise, not std::latch: the mingw-w64 build's
        // C++ library has no working atomic wait, and a latch there can miss its wake-up.)
        std::promise<void> go;
        const std::shared_future<void> start = go.get_future().share();
        const auto close = [&](const ConversionCatalog& catalog) {
            start.wait();
            return static_cast<bool>(catalog.saveKeepingDiskEdits(path));
        };
        auto other = std::async(std::launch::async, close, std::cref(second));
        go.set_value();
        EXPECT_TRUE(close(first));
        EXPECT_TRUE(other.get());
        ASSERT_EQ(readBytes(path), "A|n|a|b|x|0\r\nB|n|a|b|x\r\nC|n|a|b|x|0\r\n") << run;
    }
}

TEST(CatalogFile, AnEditMadeWhileTheSaveIsWrittenIsSeen) {
    // An editor saves the file once, between the close's read and its write.
    struct EditingOps : FileOps {
        std::string path;
        bool edited = false;
        bool flush(std::FILE* file) override {
            if (!edited) writeBytes(path, "A|n|a|b|x*2\r\nB|n|a|b|x\r\n");
            edited = true;
            return FileOps::flush(file);
        }
    };
    TempDir dir;
    EditingOps ops;
    ops.path = dir.file("conv.txt");
    writeBytes(ops.path, "A|n|a|b|x\r\n");
    ConversionCatalog catalog;
    ASSERT_TRUE(catalog.load(ops.path));
    catalog.categoryAt(0)->setVisible(0);
    ASSERT_TRUE(catalog.saveKeepingDiskEdits(ops.path, ops));
    EXPECT_EQ(readBytes(ops.path), "A|n|a|b|x*2|0\r\nB|n|a|b|x\r\n");
}

TEST(CatalogFile, OverlongRecordIsWrittenWholeAndReadBackInPieces) {
    ConversionCatalog catalog;
    const std::string formula = std::string(300, '1');
    catalog.addCategory("L").addConversion("n", "a", "b", formula);
    TempDir dir;
    ASSERT_TRUE(catalog.save(dir.file("conv.txt")));
    EXPECT_EQ(readBytes(dir.file("conv.txt")), "L|n|a|b|" + formula + "\r\n");
}

// A folder's read-only attribute does not keep new files out of it on Windows.
#ifndef _WIN32
TEST(CatalogFile, SaveIntoAFolderThatCannotBeWrittenKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("conv.txt");
    writeBytes(path, "old contents\n");
    ConversionCatalog catalog;
    catalog.addCategory("A").addConversion("n", "a", "b", "x");
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    EXPECT_TRUE(runWithoutPrivileges([&] { return !catalog.save(path); }));
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(readBytes(path), "old contents\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(CatalogFile, AWritableFileInAFolderThatCannotBeWrittenIsWrittenInPlace) {
    TempDir dir;
    const std::string path = dir.file("conv.txt");
    writeBytes(path, "a much longer old content than the new one\n");
    ASSERT_EQ(chmod(path.c_str(), 0666), 0);
    ConversionCatalog catalog;
    catalog.addCategory("A").addConversion("n", "a", "b", "x");
    ASSERT_EQ(chmod(dir.path().c_str(), 0555), 0);
    EXPECT_TRUE(runWithoutPrivileges([&] { return catalog.save(path); }));
    chmod(dir.path().c_str(), 0755);
    EXPECT_EQ(readBytes(path), "A|n|a|b|x\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}
#endif

TEST(CatalogFile, SaveThatFailsAtAnyStepLeavesTheOldFileAndNoLeftovers) {
    ConversionCatalog catalog;
    Category& category = catalog.addCategory("Big");
    for (int i = 0; i < 5000; ++i)
        category.addConversion("n" + std::to_string(i), "a", "b", std::string(40, '7'));
    ASSERT_GT(catalog.fileText()->size(), 3u * 64 * 1024);
    const FailingOps::Step steps[] = {FailingOps::Create, FailingOps::Write, FailingOps::Flush,
                                      FailingOps::Close, FailingOps::Rename};
    // A write in place whose old bytes cannot be put back keeps a copy in the temporary folder:
    // one of the test's own, so runs leave nothing behind.
    TempDir rescues;
    const TemporaryFolderOverride temporaryFolder(rescues.path());
    for (const bool inPlace : {false, true}) {
        for (const auto step : steps) {
            if (inPlace && step == FailingOps::Rename) continue; // nothing is renamed in place
            for (int writeNumber : {1, 3}) {
                TempDir dir;
                const std::string path = dir.file("conv.txt");
                writeBytes(path, "A|n|a|b|x\r\n");
                FailingOps ops(step, writeNumber, inPlace);
                EXPECT_FALSE(catalog.save(path, ops)) << step << " in place " << inPlace;
                EXPECT_EQ(readBytes(path), "A|n|a|b|x\r\n") << step << " in place " << inPlace;
                EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
                    << step;
            }
        }
    }
}

TEST(CatalogFile, OddBytesLoadWithoutHarm) {
    std::mt19937 random(12345);
    std::string noise(200000, '\0');
    for (char& c : noise)
        c = static_cast<char>(random() % 256);
    Loaded loaded;
    loadInto(loaded, noise);
    EXPECT_TRUE(loaded.ok);

    // A NUL ends the text of its line; the next line is read as usual.
    Loaded nul;
    loadInto(nul, std::string("A|n|a|b|x\0|0\nB|n\0|a|b|c|d\nC|n|a|b|x", 36));
    EXPECT_EQ(describe(nul.catalog), (Lines{"A:1", "n/a>b=x", "C:1", "n/a>b=x"}));

    // A 10 MB line: pieces of 255 characters, each holding five fields.
    std::string piece = "C|n|a|b|" + std::string(247, 'x');
    std::string huge;
    for (int i = 0; i < 10 * 1024 * 1024 / 255; ++i)
        huge += piece;
    Loaded big;
    loadInto(big, huge);
    ASSERT_EQ(big.catalog.categoryCount(), 1);
    EXPECT_EQ(big.catalog.categoryAt(0)->conversionCount(), 10 * 1024 * 1024 / 255);
}

} // namespace
