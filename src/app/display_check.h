#pragma once

// Whether the window toolkit will find a display, asked before it starts: without one it would
// end the program with an abort. argv holds the program's arguments, where the toolkit's own
// -platform and -display options may stand. Only a display that surely cannot be opened counts
// as none: an X display or a Wayland compositor that refuses a connection, or an X display not
// named; platforms that need neither are left to the toolkit.
bool displayAvailable(int argc, char** argv);
