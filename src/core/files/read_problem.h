#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Why a file could not be read. A folder is Unreadable; NotAFile is a device, a pipe, a socket.
enum class ReadProblem { None, Missing, NotAFile, TooLarge, Unreadable };

// The most any data file of the program may hold; a larger one is refused, not read.
inline constexpr std::size_t maxDataFileSize = 64u << 20;
inline constexpr const char* maxDataFileSizeText = "64 MiB";

// For a file refused before it is read, what the message says of it ("conv.txt is larger than
// 64 MiB, the most the program reads", "... is not a regular file"); empty for other problems.
std::string readProblemText(ReadProblem problem, std::string_view subject);
