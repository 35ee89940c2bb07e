#include "qt/app/display_check.h"

#include <cstdlib>
#include <string>
#include <string_view>

#if defined(__unix__) && !defined(__APPLE__)
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

std::string_view environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A Wayland compositor answers on its socket, found as the toolkit's Wayland platform finds it:
// WAYLAND_DISPLAY ("wayland-0" when unset), a path, or a name in XDG_RUNTIME_DIR.
bool waylandDisplayOpens() {
    std::string path(environment("WAYLAND_DISPLAY"));
    if (path.empty()) path = "wayland-0";
    if (path.front() != '/') {
        if (environment("XDG_RUNTIME_DIR").empty()) return false;
        path = std::string(environment("XDG_RUNTIME_DIR")) + '/' + path;
    }
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) return false;
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, path.size());
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) return false;
    const bool opens =
        connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    close(socket);
    return opens;
}

} // namespace

DisplayCheck::DisplayCheck(int argc, char** argv) {
    std::string platform(environment("QT_QPA_PLATFORM"));
    const char* display = std::getenv("DISPLAY");
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view arg = argv[i];
        // The toolkit takes its options with one dash or two.
        if (arg.starts_with("--")) arg.remove_prefix(1);
        if (arg == "-platform")
            platform = argv[++i];
        else if (arg == "-display")
            display = argv[++i];
    }
    // Without a platform named, the toolkit takes X or, in a Wayland session, Wayland.
    if (platform.empty()) {
        available_ = xDisplayOpens(display) ||
                     (!environment("WAYLAND_DISPLAY").empty() && waylandDisplayOpens());
        return;
    }
    // A list of platforms to try in turn, each perhaps with options after a colon.
    available_ = false;
    for (std::size_t start = 0; start <= platform.size() && !available_;) {
        std::size_t end = platform.find(';', start);
        if (end == std::string::npos) end = platform.size();
        const std::string_view entry = std::string_view(platform).substr(start, end - start);
        const std::string_view name = entry.substr(0, entry.find(':'));
        available_ = name == "xcb"                 ? xDisplayOpens(display)
                     : name.starts_with("wayland") ? waylandDisplayOpens()
                                                   : true;
        start = end + 1;
    }
}

// A real connection, with the user's authorization, through the library the toolkit's X
// platform uses itself; loaded here only for the check, so the program does not depend on it.
bool DisplayCheck::xDisplayOpens(const char* name) {
    if (connection_) return true;
    if (!name || !*name) return false;
    if (!xcb_ && !(xcb_ = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL))) return false;
    const auto connect = reinterpret_cast<void* (*)(const char*, int*)>(dlsym(xcb_, "xcb_connect"));
    const auto hasError = reinterpret_cast<int (*)(void*)>(dlsym(xcb_, "xcb_connection_has_error"));
    disconnect_ = reinterpret_cast<void (*)(void*)>(dlsym(xcb_, "xcb_disconnect"));
    if (!connect || !hasError || !disconnect_) return false;
    // xcb_connect never returns null: a failed connection is an object in an error state.
    connection_ = connect(name, nullptr);
    if (hasError(connection_) == 0) return true;
    disconnect_(connection_);
    connection_ = nullptr;
    return false;
}

DisplayCheck::~DisplayCheck() {
    if (connection_) disconnect_(connection_);
    if (xcb_) dlclose(xcb_);
}

#else

DisplayCheck::DisplayCheck(int, char**) {}
DisplayCheck::~DisplayCheck() = default;

#endif
