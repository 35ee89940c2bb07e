#include "chm/chm_archive.h"
#include "help_sources.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace {

TEST(ChmArchive, ReadsTheDeliveredHelp) {
    const std::unique_ptr<ChmArchive> archive = ChmArchive::open(VELMORA_HELP_CHM);
    ASSERT_TRUE(archive);
    EXPECT_EQ(archive->title(), "Velmora Help");
    EXPECT_EQ(archive->defaultTopic(), "index.html");
    EXPECT_EQ(archive->contentsFile(), "velmora.hhc");
    // Packed pages equal their sources, with or without the leading slash.
    for (const char* name : {"index.html", "/velmora.css", "velmora.hhc"}) {
        const std::string file = name[0] == '/' ? name + 1 : name;
        EXPECT_EQ(archive->read(name), helpSource(file)) << name;
    }
    EXPECT_TRUE(archive->contains("window.html"));
    EXPECT_FALSE(archive->contains("missing.html"));
    EXPECT_EQ(archive->read("missing.html"), std::nullopt);
    EXPECT_EQ(archive->read(std::string(600, 'a')), std::nullopt);
    EXPECT_TRUE(archive->tablesAgree());
    EXPECT_EQ(archive->fetch("index.html", 100).status, ChmArchive::Read::Status::TooLarge);

    std::vector<std::string> tree;
    describeContents(parseContents(*archive->read(archive->contentsFile())), tree);
    ASSERT_GE(tree.size(), 6u);
    EXPECT_EQ(tree[0], "Velmora Help>index.html");
    EXPECT_EQ(tree[1], "The converter window>window.html");
    EXPECT_EQ(tree[2], "  Category tabs>window.html#tabs");
}

TEST(ChmArchive, AnythingButAHelpFileIsNone) {
    TempDir dir;
    writeBytes(dir.file("empty.chm"), "");
    writeBytes(dir.file("text.chm"), "ITSF but not really a help file at all");
    EXPECT_FALSE(ChmArchive::open(dir.file("missing.chm")));
    EXPECT_FALSE(ChmArchive::open(dir.file("empty.chm")));
    EXPECT_FALSE(ChmArchive::open(dir.file("text.chm")));
    EXPECT_FALSE(ChmArchive::open(dir.path().string()));
}

} // namespace
