// The few things that differ between Windows and the POSIX systems.
#pragma once

#include <string>

namespace vernatto::platform {

// The folder separator of this platform's paths: '\\' on Windows, '/'
// elsewhere. The other slash is an ordinary character.
char pathSeparator();

// The running executable's full path as the operating system reports it, or
// an empty text when it reports nothing.
std::string executablePath();

// Waits for one key press. From a terminal (the Windows console included) the
// key is read without echo and without waiting for Enter; from anything else
// one byte is read, and the end of input counts as the key.
void waitForKey();

// Asks the desktop to open `path` in the user's default viewer. Does not wait
// and does not report whether a viewer started.
void openInViewer(const std::string& path);

}  // namespace vernatto::platform
