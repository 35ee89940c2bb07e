#pragma once

#include "help/help_pages.h"

#include <chrono>
#include <iosfwd>
#include <memory>
#include <string>

// Reading help.chm where a fault of the CHM library cannot take the program down: a child
// process, this same program started with --read-help, does all the CHM work and writes every
// file of the help out; the program only reads back and checks what it wrote.

struct HelpLoad {
    enum class State {
        Read,    // pages holds the help
        Missing, // no such file, or not a regular file
        NoHelp,  // the CHM library does not take the file for a help file
        Damaged, // the reader crashed or sent something that is no reply
        NotRead, // the reader could not be started, or did not finish in time
    };
    State state = State::Missing;
    std::shared_ptr<const HelpPages> pages;
};

// The list of digests of the packed files that the build packs into the delivered help file.
inline constexpr const char* helpDigestFile = "velmora.sha256";

// How long the reader may take; the delivered help takes a few milliseconds.
inline constexpr std::chrono::milliseconds helpReadLimit{5000};

// Reads the help file at path through the program readerProgram (see --read-help).
HelpLoad loadHelpFile(const std::string& path, const std::string& readerProgram,
                      std::chrono::milliseconds limit = helpReadLimit);

// The program that reads help files: this very program unless set otherwise (test programs
// that link the windows name the real one).
const std::string& helpReaderProgram();
void setHelpReaderProgram(std::string program);

// The child's side, for --read-help FILE: opens the CHM and writes its files to out, within
// HelpPages' bounds. Returns the exit status: 0 once everything is written.
int writeHelpFile(const std::string& path, std::ostream& out);
