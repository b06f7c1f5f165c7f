#include <string>

#include "platform/posix.h"

namespace vernatto::platform {
namespace {

// `base` + "/" + `tail`, with any separators at the end of `base` dropped.
std::string joinFolder(const std::string& base, const char* tail) {
  const std::size_t end = base.find_last_not_of('/');
  return base.substr(0, end == std::string::npos ? 0 : end + 1) + "/" + tail;
}

}  // namespace

std::string posixCacheFolder(SystemKind system, const char* xdgCacheHome,
                             const char* home) {
  // A relative XDG_CACHE_HOME is invalid and must be ignored.
  if (system != SystemKind::kMacOS && xdgCacheHome != nullptr && xdgCacheHome[0] == '/')
    return joinFolder(xdgCacheHome, "vernatto");
  if (home == nullptr || home[0] == '\0')
    return {};
  return joinFolder(
      home, system == SystemKind::kMacOS ? "Library/Caches/vernatto" : ".cache/vernatto");
}

}  // namespace vernatto::platform
