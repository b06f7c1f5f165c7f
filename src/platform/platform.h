// The few things that differ between Windows and the POSIX systems. Every
// text here is UTF-8, whatever the system uses at its own interfaces.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace vernatto::platform {

// The process's arguments, argument 0 first, as `main` received them in
// `argc` and `argv`. On Windows they are read again from the wide command
// line, so that names outside the ANSI code page arrive whole.
std::vector<std::string> commandLine(int argc, char** argv);

// Readies std::cout and std::cerr for a program's UTF-8 text; call once at
// the start of `main`. They stop synchronizing with C stdio, so a line costs
// one system call at its flush. On Windows a stream that is a console writes
// through the console's UTF-16 interface, so that it shows the text as
// written; files and pipes get the bytes unchanged.
void setUpConsole();

// The folder separator of this platform's paths: '\\' on Windows, '/'
// elsewhere. The other slash is an ordinary character.
char pathSeparator();

// The running executable's full path as the operating system reports it, or
// an empty text when it reports nothing.
std::string executablePath();

// The user's own folder for files the program keeps for them, "vernatto"
// included, without a separator at its end: under XDG_CACHE_HOME (when it is
// an absolute path) or ~/.cache on Linux and the other POSIX systems,
// ~/Library/Caches on macOS, Local AppData on Windows. Empty when the
// system names no such place. The folder may not exist yet.
std::string userCacheFolder();

// Whether standard error is a terminal (a console on Windows).
bool standardErrorIsTerminal();

// This machine's network name as the system gives it, in UTF-8 (on Windows
// its DNS host name); empty when it has none.
std::string hostName();

// Waits for one key press. From a terminal (the Windows console included) the
// key is read without echo and without waiting for Enter; from anything else
// one byte is read, and the end of input counts as the key. An interrupt
// during the wait (Ctrl+C; on POSIX also SIGTERM, SIGHUP and SIGQUIT) ends
// the process as that interrupt does, with the terminal as it was before.
void waitForKey();

// Puts the finished file `temporary` in place of `target` so that a crash or
// power cut leaves the old file or the new one, never a part: flushes its
// data to disk, renames it over `target` in one step and, where the system
// needs it for the rename to last, flushes the folder too. Returns false,
// with `problem` saying why, when it cannot; `temporary` then still exists.
bool commitFile(const std::filesystem::path& temporary,
                const std::filesystem::path& target, std::string& problem);

// Asks the desktop to open `path` in the user's default viewer, in a session
// of its own where there are sessions, so that it outlives our terminal. Does
// not wait and does not report whether a viewer started.
void openInViewer(const std::string& path);

}  // namespace vernatto::platform
