#include "chm/child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

  private:
    int fd_;
};

int millisecondsUntil(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : static_cast<int>(left);
}

// Waits for the child until deadline; kills it then. False when it had to be killed.
bool reap(pid_t child, Clock::time_point deadline, int& waitStatus) {
    while (true) {
        const pid_t done = ::waitpid(child, &waitStatus, WNOHANG);
        if (done == child) return true;
        if (done < 0 && errno != EINTR) return true; // already reaped elsewhere
        if (Clock::now() >= deadline) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ::kill(child, SIGKILL);
    while (::waitpid(child, &waitStatus, 0) < 0 && errno == EINTR) {
    }
    return false;
}

} // namespace

ChildOutput runChild(const std::string& program, const std::vector<std::string>& arguments,
                     std::chrono::milliseconds limit, std::size_t maxOutput) {
    ChildOutput result;
    const Clock::time_point deadline = Clock::now() + limit;
    int ends[2];
    // Neither end may leak into other children the program starts meanwhile.
    if (::pipe2(ends, O_CLOEXEC) != 0) return result;
    Descriptor readEnd(ends[0]);
    Descriptor writeEnd(ends[1]);

    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0) return result;
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned =
        posix_spawn(&child, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return result;
    writeEnd.reset();

    result.ending = ChildOutput::Ending::Exited;
    char buffer[65536];
    while (true) {
        pollfd watch{readEnd.get(), POLLIN, 0};
        const int ready = ::poll(&watch, 1, millisecondsUntil(deadline));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) {
            result.ending = ChildOutput::Ending::TimedOut;
            break;
        }
        const ssize_t got = ::read(readEnd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;
        if (static_cast<std::size_t>(got) > maxOutput - result.output.size()) {
            result.ending = ChildOutput::Ending::TooMuch;
            break;
        }
        result.output.append(buffer, static_cast<std::size_t>(got));
    }
    readEnd.reset();
    int waitStatus = 0;
    const bool ended = reap(
        child, result.ending == ChildOutput::Ending::Exited ? deadline : Clock::now(), waitStatus);
    if (result.ending != ChildOutput::Ending::Exited) return result;
    if (!ended) {
        result.ending = ChildOutput::Ending::TimedOut;
    } else if (WIFEXITED(waitStatus)) {
        result.status = WEXITSTATUS(waitStatus);
    } else {
        result.ending = ChildOutput::Ending::Killed;
    }
    return result;
}
