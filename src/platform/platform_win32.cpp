// windows.h must come first: shellapi.h relies on its declarations.
#include <windows.h>

#include <conio.h>
#include <shellapi.h>

#include <vector>

#include "platform/platform.h"

namespace vernatto::platform {

char pathSeparator() {
  return '\\';
}

std::string executablePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), size);
    if (length == 0)
      return {};
    if (length < size)
      return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // the path was cut off
  }
}

void waitForKey() {
  _getch();
}

void openInViewer(const std::string& path) {
  ShellExecuteA(nullptr, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace vernatto::platform
