#pragma once

#include <functional>
#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

// Runs check in a process that file permissions apply to. Root ignores them, so as root the
// check runs in a child that has switched to the "nobody" user; otherwise it runs here.
// Returns what check returned.
inline bool runWithoutPrivileges(const std::function<bool()>& check) {
#ifdef _WIN32
    // The read-only attribute binds administrators too.
    return check();
#else
    if (geteuid() != 0) return check();
    const pid_t child = fork();
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}
