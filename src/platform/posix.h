// What the Linux and macOS builds supply to the shared POSIX layer.
#pragma once

namespace vernatto::platform {

// The command, looked up on PATH, that opens a file in the default viewer.
const char* viewerCommand();

}  // namespace vernatto::platform
