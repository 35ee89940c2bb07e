// measured_run REPORT PROGRAM [ARGUMENT...]
// Runs PROGRAM as a child and, once it has ended, writes its processor time to REPORT: user and
// system time of all its threads, ended ones included, to the microsecond, which the load of a
// busy machine changes far less than the time on the clock. A request to end this process is
// passed on to the child. REPORT first gets the child's process id, for a look at its memory.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t child = 0;

void passOn(int signal) {
    if (child > 0) kill(child, signal);
}

double milliseconds(const timeval& time) {
    return time.tv_sec * 1e3 + time.tv_usec / 1e3;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s REPORT PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    std::signal(SIGTERM, passOn);
    std::signal(SIGINT, passOn);
    const pid_t pid = fork();
    if (pid < 0) return 1;
    if (pid == 0) {
        execvp(argv[2], argv + 2);
        _exit(127);
    }
    child = pid;
    if (std::FILE* report = std::fopen(argv[1], "w")) {
        std::fprintf(report, "pid=%d\n", static_cast<int>(pid));
        std::fclose(report);
    }
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    std::FILE* report = std::fopen(argv[1], "a");
    if (!report) return 1;
    std::fprintf(report, "cpu_ms=%.3f\n",
                 milliseconds(usage.ru_utime) + milliseconds(usage.ru_stime));
    std::fclose(report);
    return 0;
}
