#include "win32/common/startup_steps.h"

#include <cstdio>
#include <cstdlib>
#include <windows.h>

void markStartupStep(const char* step) {
    static const wchar_t* const file = _wgetenv(L"VELMORA_STARTUP_STEPS");
    if (!file) return;
    FILETIME created, ended, kernel, user, now;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    GetSystemTimePreciseAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    if (FILE* out = _wfopen(file, L"a")) {
        std::fprintf(out, "%s %.2f\n", step, (ticks(now) - ticks(created)) / 1e4);
        std::fclose(out);
    }
}
