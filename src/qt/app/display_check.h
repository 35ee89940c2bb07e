#pragma once

// Whether the window toolkit will find a display, asked before it starts: without one it would
// end the program with an abort. argv holds the program's arguments, where the toolkit's own
// -platform and -display options may stand. Only a display that surely cannot be opened counts
// as none: an X display or a Wayland compositor that refuses a connection, or an X display not
// named; platforms that need neither are left to the toolkit.
//
// The X connection stays open while the check lives: an X server that resets when its last
// client leaves would otherwise be resetting just as the toolkit connects.
class DisplayCheck {
  public:
    DisplayCheck(int argc, char** argv);
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    bool available() const { return available_; }

  private:
    bool xDisplayOpens(const char* name);

    bool available_ = true;
    void* xcb_ = nullptr;
    void* connection_ = nullptr;
    void (*disconnect_)(void*) = nullptr;
};
