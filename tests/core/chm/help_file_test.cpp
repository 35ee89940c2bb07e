#include "chm/help_file.h"
#include "help/help_pages.h"
#include "help_sources.h"
#include "temp_dir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <sys/stat.h>

TEST(HelpFile, MissingNoHelpAndDamagedAreToldApart) {
    const HelpLoad delivered = loadHelpFile(VELMORA_HELP_CHM, VELMORA_PROGRAM);
    ASSERT_EQ(delivered.state, HelpLoad::State::Read);
    EXPECT_EQ(delivered.pages->indexFile, "velmora.hhk");
    for (const char* name : {"window.html", "velmora.css", "velmora.hhc", "velmora.hhk"})
        EXPECT_EQ(*delivered.pages->find(name), helpSource(name)) << name;

    TempDir dir;
    writeBytes(dir.file("text.chm"), "ITSF but not really a help file at all");
    ASSERT_EQ(mkfifo(dir.file("fifo.chm").c_str(), 0600), 0);
    std::string bytes = readBytes(VELMORA_HELP_CHM);
    // Two bytes that make the CHM library crash and corrupt its heap. Both lie in the LZX reset
    // table of the delivered file; which entry a flip must hit to harm moves with the pages.
    bytes.at(0x223e) = '\x20';
    writeBytes(dir.file("crash.chm"), bytes);
    bytes = readBytes(VELMORA_HELP_CHM);
    bytes.at(0x22b7) = '\xfb';
    writeBytes(dir.file("double-free.chm"), bytes);
    const struct {
        std::string path;
        std::string program;
        HelpLoad::State state;
    } rows[] = {
        {dir.file("missing.chm"), VELMORA_PROGRAM, HelpLoad::State::Missing},
        {dir.path().string(), VELMORA_PROGRAM, HelpLoad::State::Missing},
        {dir.file("fifo.chm"), VELMORA_PROGRAM, HelpLoad::State::Missing}, // never opened
        {dir.file("text.chm"), VELMORA_PROGRAM, HelpLoad::State::NoHelp},
        {dir.file("crash.chm"), VELMORA_PROGRAM, HelpLoad::State::Damaged},
        {dir.file("double-free.chm"), VELMORA_PROGRAM, HelpLoad::State::Damaged},
        {VELMORA_HELP_CHM, "/bin/true", HelpLoad::State::Damaged},      // writes nothing
        {VELMORA_HELP_CHM, dir.file("none"), HelpLoad::State::NotRead}, // cannot start
    };
    for (const auto& row : rows) {
        const HelpLoad load = loadHelpFile(row.path, row.program);
        EXPECT_EQ(load.state, row.state) << row.path << " " << row.program;
        EXPECT_FALSE(load.pages) << row.path;
    }
}

TEST(HelpFile, DamagedCopiesGiveThePagesOrDamaged) {
    // Single bytes changed at random, the same each run, and a reset table entry pointing past
    // the content; the program lives through them all.
    std::mt19937 random(20261208);
    const std::string original = readBytes(VELMORA_HELP_CHM);
    TempDir dir;
    int read = 0;
    for (int i = 0; i <= 300; ++i) {
        std::string bytes = original;
        const std::size_t at = i == 0 ? 0x22af : random() % bytes.size();
        bytes[at] = static_cast<char>(i == 0 ? 0xfb : bytes[at] ^ (1 + random() % 255));
        writeBytes(dir.file("copy.chm"), bytes);
        const HelpLoad load = loadHelpFile(dir.file("copy.chm"), VELMORA_PROGRAM);
        // A change in the file's headers may make it no help file at all, as any other file.
        EXPECT_TRUE(load.state == HelpLoad::State::Read || load.state == HelpLoad::State::Damaged ||
                    (load.state == HelpLoad::State::NoHelp && at < 0x100))
            << at;
        if (load.state != HelpLoad::State::Read) continue;
        ++read;
        // Every page is the one compiled, or named as damaged.
        for (const char* page : helpPages) {
            const std::string* got = load.pages->find(page);
            EXPECT_TRUE(got ? *got == helpSource(page)
                            : load.pages->leftOut(page) == HelpPages::Unread::Damaged)
                << page << " with byte " << at << " changed";
        }
    }
    EXPECT_GT(read, 0);
}

TEST(HelpFile, WithoutDigestsPagesThatDoNotReadWholeAreNamed) {
    TempDir dir;
    writeBytes(dir.file("good.html"), "<p>caf\xC3\xA9</p>");
    writeBytes(dir.file("bad.html"), "<p>caf\xC3(</p>");
    writeBytes(dir.file("t.hhp"), "[OPTIONS]\nCompiled file=t.chm\nDefault topic=gone.html\n"
                                  "\n[FILES]\ngood.html\nbad.html\n");
    const std::string compile = "cd '" + dir.path().string() +
                                "' && '" VELMORA_CHMCMD "' --no-html-scan t.hhp >/dev/null 2>&1";
    ASSERT_EQ(std::system(compile.c_str()), 0);
    const HelpLoad load = loadHelpFile(dir.file("t.chm"), VELMORA_PROGRAM);
    ASSERT_EQ(load.state, HelpLoad::State::Read);
    EXPECT_EQ(*load.pages->find("good.html"), readBytes(dir.file("good.html")));
    EXPECT_EQ(load.pages->find("bad.html"), nullptr);
    // One that does not decode as UTF-8, and the start page the file lacks.
    EXPECT_EQ(load.pages->leftOut("bad.html"), HelpPages::Unread::Damaged);
    EXPECT_EQ(load.pages->leftOut("gone.html"), HelpPages::Unread::Damaged);
    EXPECT_EQ(load.pages->leftOut("good.html"), std::nullopt);
}
