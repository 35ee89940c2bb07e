#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

// What a child program wrote on its standard output, and how it ended.
struct ChildOutput {
    enum class Ending {
        Exited,     // status holds its exit status
        Killed,     // ended by a signal: it crashed
        TimedOut,   // still running at the time limit; it was killed
        TooMuch,    // wrote more than it may; it was killed
        NotStarted, // the program could not be started
    };
    Ending ending = Ending::NotStarted;
    int status = 0;
    std::string output;
};

// Runs program with arguments, its input empty and its errors discarded, and collects what it
// writes until it ends. A child still running after limit, or writing more than maxOutput
// bytes, is killed. Waits for the child in every case, so none is left behind.
ChildOutput runChild(const std::string& program, const std::vector<std::string>& arguments,
                     std::chrono::milliseconds limit, std::size_t maxOutput);
