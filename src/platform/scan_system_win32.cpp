#include <windows.h>

#include <string_view>

#include "platform/scan_system.h"
#include "platform/win32_text.h"

namespace vernatto::platform {
namespace {

std::optional<std::string> registryString(const wchar_t* key) {
  DWORD bytes = 0;
  // A REG_EXPAND_SZ value is expanded and then passes as REG_SZ; asking for
  // REG_EXPAND_SZ itself would be refused unless expansion were switched off.
  const DWORD flags = RRF_RT_REG_SZ;
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"VSTPluginsPath", flags, nullptr, nullptr,
                   &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
  if (RegGetValueW(HKEY_LOCAL_MACHINE, key, L"VSTPluginsPath", flags, nullptr,
                   value.data(), &bytes) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.resize(wcsnlen(value.c_str(), value.size()));
  if (value.empty())
    return std::nullopt;
  return toUtf8(value);
}

// Opens a file or a folder for its attributes only, whoever else has it open.
HANDLE openForAttributes(const std::filesystem::path& path) {
  return CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

}  // namespace

SystemKind thisSystem() {
  return SystemKind::kWindows;
}

std::string multiarchTriple() {
  return "";
}

std::optional<std::string> environmentVariable(const std::string& name) {
  std::wstring wide = toUtf16(name);
  DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (size == 0)
    return std::nullopt;
  std::wstring value(size, L'\0');
  DWORD written = GetEnvironmentVariableW(wide.c_str(), value.data(), size);
  value.resize(written < size ? written : 0);
  return toUtf8(value);
}

std::vector<std::string> registryVstFolders() {
  std::vector<std::string> folders;
  for (const wchar_t* key : {L"SOFTWARE\\VST", L"SOFTWARE\\WOW6432Node\\VST"}) {
    if (auto folder = registryString(key))
      folders.push_back(*folder);
  }
  return folders;
}

std::optional<std::uint64_t> modifiedSeconds(const std::filesystem::path& path) {
  HANDLE file = openForAttributes(path);
  if (file == INVALID_HANDLE_VALUE)
    return std::nullopt;
  FILETIME written{};
  BOOL ok = GetFileTime(file, nullptr, nullptr, &written);
  CloseHandle(file);
  if (!ok)
    return std::nullopt;
  // FILETIME counts 100 ns steps since 1601-01-01.
  const std::uint64_t ticks =
      (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime;
  const std::uint64_t kEpochDifference = 11644473600ULL;
  const std::uint64_t seconds = ticks / 10000000ULL;
  return seconds > kEpochDifference ? seconds - kEpochDifference : 0;
}

std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path) {
  HANDLE file = openForAttributes(path);
  if (file == INVALID_HANDLE_VALUE)
    return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  BOOL ok = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  if (!ok)
    return std::nullopt;
  return FileIdentity{
      info.dwVolumeSerialNumber,
      (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

}  // namespace vernatto::platform
