#pragma once

#include <string>
#include <string_view>

// The SHA-256 digest of bytes, as 64 lower-case hexadecimal digits (what sha256sum prints and
// CMake's file(SHA256) writes).
std::string sha256Hex(std::string_view bytes);
