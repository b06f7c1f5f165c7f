#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "platform/posix.h"

namespace vernatto::platform {

std::string executablePath() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0)
      return {};
    if (static_cast<std::size_t>(length) < buffer.size()) {
      return std::string(buffer.data(), static_cast<std::size_t>(length));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string userCacheFolder() {
  // A relative XDG_CACHE_HOME is invalid and must be ignored.
  const char* cache = std::getenv("XDG_CACHE_HOME");
  if (cache != nullptr && cache[0] == '/')
    return joinFolder(cache, "vernatto");
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0')
    return {};
  return joinFolder(home, ".cache/vernatto");
}

const char* viewerCommand() {
  return "xdg-open";
}

}  // namespace vernatto::platform
