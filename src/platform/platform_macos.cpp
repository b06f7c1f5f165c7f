#include <mach-o/dyld.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "platform/platform.h"
#include "platform/posix.h"

namespace vernatto::platform {

std::string executablePath() {
  std::uint32_t size = 0;
  _NSGetExecutablePath(nullptr, &size);  // asks for the size it needs
  std::vector<char> buffer(size + 1);
  if (_NSGetExecutablePath(buffer.data(), &size) != 0)
    return {};
  return std::string(buffer.data());
}

std::string userCacheFolder() {
  return posixCacheFolder(SystemKind::kMacOS, std::getenv("XDG_CACHE_HOME"),
                          std::getenv("HOME"));
}

const char* viewerCommand() {
  return "open";
}

}  // namespace vernatto::platform
