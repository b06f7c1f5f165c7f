// What the Linux and macOS builds supply to the shared POSIX layer, and what
// that layer offers them.
#pragma once

#include <string>

#include "platform/scan_system.h"

namespace vernatto::platform {

// The command, looked up on PATH, that opens a file in the default viewer.
const char* viewerCommand();

// The per-user folder for the program's files on the POSIX system `system`,
// "vernatto" included, given the values of XDG_CACHE_HOME and HOME (null when
// unset): on macOS ~/Library/Caches/vernatto; elsewhere
// $XDG_CACHE_HOME/vernatto when that is an absolute path, else
// ~/.cache/vernatto. Empty when HOME is needed but unset or empty. Pure, and
// built everywhere, so that one Linux run checks the rules of both systems.
std::string posixCacheFolder(SystemKind system, const char* xdgCacheHome,
                             const char* home);

}  // namespace vernatto::platform
