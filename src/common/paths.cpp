#include "common/paths.h"

namespace vernatto::common {

std::string folderOf(const std::string& path, char separator) {
  return path.substr(0, path.rfind(separator)) + separator;
}

std::string displayName(const std::string& path, char separator) {
  const std::size_t last = path.rfind(separator);
  return last == std::string::npos ? path : path.substr(last + 1);
}

std::string executableFolder(const std::string& arg0, const std::string& osPath,
                             char separator) {
  const bool bare = arg0.find(separator) == std::string::npos;
  return folderOf(bare && !osPath.empty() ? osPath : arg0, separator);
}

}  // namespace vernatto::common
