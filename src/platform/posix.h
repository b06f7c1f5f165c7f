// What the Linux and macOS builds supply to the shared POSIX layer, and what
// that layer offers them.
#pragma once

#include <string>

namespace vernatto::platform {

// The command, looked up on PATH, that opens a file in the default viewer.
const char* viewerCommand();

// `base` + "/" + `tail`, with any separators at the end of `base` dropped.
std::string joinFolder(const std::string& base, const char* tail);

}  // namespace vernatto::platform
