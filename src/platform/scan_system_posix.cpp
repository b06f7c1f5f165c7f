#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/scan_system.h"

namespace vernatto::platform {

SystemKind thisSystem() {
#ifdef __APPLE__
  return SystemKind::kMacOS;
#else
  return SystemKind::kLinux;
#endif
}

std::string multiarchTriple() {
#ifdef VERNATTO_MULTIARCH
  return VERNATTO_MULTIARCH;
#else
  return "";
#endif
}

std::optional<std::string> environmentVariable(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr)
    return std::nullopt;
  return std::string(value);
}

std::vector<std::string> registryVstFolders() {
  return {};
}

std::optional<std::uint64_t> modifiedSeconds(const std::filesystem::path& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0)
    return std::nullopt;
  // Times before the epoch say nothing useful about an installed plug-in.
  if (info.st_mtime < 0)
    return 0;
  return static_cast<std::uint64_t>(info.st_mtime);
}

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0)
    return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(info.st_dev),
                      static_cast<std::uint64_t>(info.st_ino)};
}

}  // namespace vernatto::platform
