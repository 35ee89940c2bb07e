#include "chm/child_process.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace {

TEST(ChildProcess, AChildIsStoppedAtItsBounds) {
    using Ending = ChildOutput::Ending;
    const std::pair<const char*, Ending> rows[] = {{"printf done; exit 3", Ending::Exited},
                                                   {"kill -SEGV $$", Ending::Killed},
                                                   {"exec sleep 30", Ending::TimedOut},
                                                   {"exec yes", Ending::TooMuch}};
    for (const auto& [script, ending] : rows)
        EXPECT_EQ(runChild("/bin/sh", {"-c", script}, std::chrono::milliseconds(300), 4096).ending,
                  ending)
            << script;
    const ChildOutput done =
        runChild("/bin/sh", {"-c", "printf done; exit 3"}, std::chrono::milliseconds(300), 4096);
    EXPECT_EQ(done.output + std::to_string(done.status), "done3");
}

} // namespace
