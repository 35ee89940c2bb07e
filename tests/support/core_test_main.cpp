#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <locale>

// When VELMORA_TEST_LOCALE names a locale, the whole run happens under it; a locale that cannot be
// set fails the run instead of silently testing under "C".
int main(int argc, char** argv) {
    if (const char* name = std::getenv("VELMORA_TEST_LOCALE"); name && *name) {
        if (!std::setlocale(LC_ALL, name)) {
            std::fprintf(stderr, "locale %s is not available; generate it first\n", name);
            return 2;
        }
        // On Windows the C++ library of mingw-w64 has the "C" locale alone; the C library's,
        // set above, is the one through which a number could be read or printed with a comma.
#ifndef _WIN32
        std::locale::global(std::locale(name));
#endif
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
