// windows.h must come first: shellapi.h and shlobj.h rely on its declarations.
#include <windows.h>

#include <conio.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <iostream>
#include <vector>

#include "platform/console_buffer.h"
#include "platform/platform.h"
#include "platform/win32_text.h"

namespace vernatto::platform {
namespace {

bool writeToConsole(HANDLE console, std::u16string_view text) {
  while (!text.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 8192));
    DWORD written = 0;
    if (!WriteConsoleW(console, text.data(), chunk, &written, nullptr) || written == 0)
      return false;
    text.remove_prefix(written);
  }
  return true;
}

// A standard stream that writes to the console while it exists. Restoring the
// stream's own buffer at exit keeps the final flush of std::cout and
// std::cerr, which happens after our objects are gone, off a dead buffer.
class ConsoleStream {
 public:
  ConsoleStream(std::ostream& stream, HANDLE console)
      : stream_(stream),
        buffer_([console](std::u16string_view text) {
          return writeToConsole(console, text);
        }),
        original_(stream.rdbuf(&buffer_)) {}
  ~ConsoleStream() {
    stream_.flush();
    stream_.rdbuf(original_);
  }

 private:
  std::ostream& stream_;
  ConsoleBuffer buffer_;
  std::streambuf* original_;
};

HANDLE consoleOf(DWORD standardHandle) {
  const HANDLE handle = GetStdHandle(standardHandle);
  DWORD mode = 0;
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
      !GetConsoleMode(handle, &mode))
    return nullptr;
  return handle;
}

BOOL WINAPI endOnInterrupt(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
    return FALSE;  // closing and logging off are the console's own business
  ExitProcess(STATUS_CONTROL_C_EXIT);
}

}  // namespace

std::vector<std::string> commandLine(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr)
    return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  for (int i = 0; i < count; ++i)
    args.push_back(toUtf8(wide[i]));
  LocalFree(wide);
  return args;
}

void setUpConsole() {
  std::ios::sync_with_stdio(false);
  if (const HANDLE console = consoleOf(STD_OUTPUT_HANDLE)) {
    static ConsoleStream out(std::cout, console);
  }
  if (const HANDLE console = consoleOf(STD_ERROR_HANDLE)) {
    static ConsoleStream err(std::cerr, console);
  }
}

char pathSeparator() {
  return '\\';
}

std::string executablePath() {
  // Long paths may exceed MAX_PATH; a result that fills the buffer was cut.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0)
      return {};
    if (length < size)
      return toUtf8(buffer.data());
    buffer.resize(buffer.size() * 2);
  }
}

std::string userCacheFolder() {
  PWSTR folder = nullptr;
  std::string path;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder)))
    path = toUtf8(folder);
  CoTaskMemFree(folder);
  return path.empty() ? path : path + "\\vernatto";
}

bool commitFile(const std::filesystem::path& temporary,
                const std::filesystem::path& target, std::string& problem) {
  HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool done = file != INVALID_HANDLE_VALUE && FlushFileBuffers(file) != 0;
  if (!done)
    problem = lastErrorText();
  if (file != INVALID_HANDLE_VALUE)
    CloseHandle(file);
  // Write-through: the call returns once the new name is on disk.
  if (done && MoveFileExW(temporary.c_str(), target.c_str(),
                          MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    problem = lastErrorText();
    done = false;
  }
  return done;
}

std::string hostName() {
  wchar_t name[256];
  DWORD size = static_cast<DWORD>(std::size(name));
  if (!GetComputerNameExW(ComputerNameDnsHostname, name, &size))
    return {};
  return toUtf8(std::wstring(name, size));
}

bool standardErrorIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void waitForKey() {
  // _getch reads the console with Ctrl+C as an ordinary key, character 3;
  // where the console turns it into an event instead, the handler ends the
  // run in the same way, so that the caller sees an interrupt either way.
  SetConsoleCtrlHandler(endOnInterrupt, TRUE);
  const int key = _getch();
  SetConsoleCtrlHandler(endOnInterrupt, FALSE);
  if (key == 3)
    ExitProcess(STATUS_CONTROL_C_EXIT);
}

void openInViewer(const std::string& path) {
  // The shell may hand the file over through COM, which it needs initialized.
  const HRESULT com =
      CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  ShellExecuteW(nullptr, L"open", toUtf16(path).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  if (SUCCEEDED(com))
    CoUninitialize();
}

}  // namespace vernatto::platform
