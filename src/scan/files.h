// Small file helpers shared by the describers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>

namespace vernatto::scan {

// Reads the whole file at `path` into `bytes`; files over 16 MiB are refused
// (no metadata file is that big). Returns false, with `problem` saying why.
bool readSmallFile(const std::filesystem::path& path, std::string& bytes,
                   std::string& problem);

// The first four bytes of the file, fewer when it is shorter or unreadable.
std::string fileMagic(const std::filesystem::path& path);

bool isPeFile(const std::filesystem::path& path);
bool isElfFile(const std::filesystem::path& path);

// The modification time of the first of `paths` that is not empty and can be
// examined, in seconds since the Unix epoch; 0 when none can.
std::uint64_t firstModifiedTime(std::initializer_list<std::filesystem::path> paths);

// The main binary of a bundle: Contents/MacOS/`executable` when that exists,
// else in Contents/MacOS, Contents/x64, Contents/Win32, Contents/*-win or
// Contents/*-linux (this system's folder first) the file named like the
// bundle, else one with the bundle's extension, else the first file. Empty
// when there is none.
std::filesystem::path bundleBinary(const std::filesystem::path& bundle,
                                   const std::string& executable);

// The name of a file or bundle without its folder and extension, UTF-8.
std::string stemOf(const std::filesystem::path& path);

}  // namespace vernatto::scan
