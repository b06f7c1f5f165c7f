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
  return posixCacheFolder(SystemKind::kLinux, std::getenv("XDG_CACHE_HOME"),
                          std::getenv("HOME"));
}

const char* viewerCommand() {
  return "xdg-open";
}

}  // namespace vernatto::platform
