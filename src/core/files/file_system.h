#pragma once

#include "files/read_problem.h"

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

// The few file-system calls whose form differs between Linux and Windows, each with one promise;
// file_system_posix.cpp and file_system_windows.cpp keep it. Paths are UTF-8 throughout the
// program; on Windows they reach the system as UTF-16 (W calls only).

// The path named by UTF-8 text, and back.
std::filesystem::path nativePath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);
// The file the system opens for path: on Windows without what it drops from a name
// (windows_file_name.h) and with the short (8.3) names of what exists made long; elsewhere path.
std::string resolvedFilePath(const std::string& path);

// A new file, opened for writing; nobody but its owner may read it until ownerAndModeLike is
// called. Nullptr when the name is taken or the file cannot be made.
std::FILE* createNewFile(const std::string& path);
// An existing file, opened to be read and written over from its start.
std::FILE* openFileForUpdate(const std::string& path);
// Whether the existing file at path may be written (its folder aside).
bool fileIsWritable(const std::string& path);
// Whether new files may be made in the existing folder, asked without making one.
bool folderTakesNewFiles(const std::string& folder);
// Why a new file cannot be made in the folder, in the system's own words ("permission denied"),
// found by making one and removing it again; empty when it can be made.
std::string newFileRefusal(const std::string& folder);
// Room on the disk for size bytes of the file, without changing its length. True where the file
// system cannot reserve (a full disk then shows at the first write).
bool reserveFileSpace(std::FILE* file, std::size_t size);
// Ends the file after its first size bytes.
bool setFileLength(std::FILE* file, std::size_t size);
// The file's bytes on the disk, not only in the system's cache.
bool syncFileToDisk(std::FILE* file);
// The new file gets what the old one at like had: owner and permissions; a new file (like
// missing) gets what any new file of the user gets.
void ownerAndModeLike(std::FILE* file, const std::string& like);
// Puts the file from over the one at to in a single step, as far as the disk is concerned: a
// reader sees the old file or the new one, never a part of either.
bool replaceFile(const std::string& from, const std::string& to);
// Opens a file for reading only when it is a regular file of at most maxDataFileSize bytes,
// without waiting on a pipe or a device. Nullptr with the reason otherwise; size is its length.
std::FILE* openRegularFile(const std::string& path, ReadProblem& problem, std::uint64_t& size);
