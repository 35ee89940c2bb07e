#pragma once

// Whether the window toolkit will find a display, asked before it starts: without one it would
// end the program with an abort. argv holds the program's arguments, where the toolkit's own
// -platform and -display options may stand. Only a display that surely cannot be opened counts
// as none: an X display that refuses a connection, or none named where X is the platform; any
// other platform the toolkit is asked for is left to it.
bool displayAvailable(int argc, char** argv);
