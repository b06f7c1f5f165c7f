#include <algorithm>
#include <fstream>
#include <system_error>
#include <vector>

#include "platform/scan_system.h"
#include "scan/files.h"

namespace vernatto::scan {
namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kMaxMetadataBytes = 16u << 20;

bool isBinaryFolder(const std::string& name) {
  auto endsWith = [&name](const std::string& tail) {
    return name.size() > tail.size() &&
           name.compare(name.size() - tail.size(), tail.size(), tail) == 0;
  };
  return name == "MacOS" || name == "x64" || name == "Win32" || endsWith("-win") ||
         endsWith("-linux");
}

// This system's own binaries first, then the rest in name order.
int folderRank(const std::string& name) {
  switch (platform::thisSystem()) {
    case platform::SystemKind::kWindows:
      return name == "x86_64-win" || name == "x64" ? 0 : 1;
    case platform::SystemKind::kMacOS:
      return name == "MacOS" ? 0 : 1;
    case platform::SystemKind::kLinux:
      return name == "x86_64-linux" ? 0 : 1;
  }
  return 1;
}

std::vector<fs::path> sortedEntries(const fs::path& folder, bool folders) {
  std::vector<fs::path> entries;
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    if (folders ? it->is_directory(error) : it->is_regular_file(error)) {
      entries.push_back(it->path());
    }
  }
  std::sort(entries.begin(), entries.end());
  return entries;
}

fs::path pickBinary(const fs::path& folder, const fs::path& bundle) {
  const std::vector<fs::path> files = sortedEntries(folder, false);
  for (const fs::path& file : files) {
    if (file.stem() == bundle.stem())
      return file;
  }
  for (const fs::path& file : files) {
    if (file.extension() == bundle.extension())
      return file;
  }
  return files.empty() ? fs::path() : files.front();
}

}  // namespace

bool readSmallFile(const fs::path& path, std::string& bytes, std::string& problem) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  if (error) {
    problem = error.message();
    return false;
  }
  if (size > kMaxMetadataBytes) {
    problem = "too large for a metadata file";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  bytes.assign(static_cast<std::size_t>(size), '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) {
    problem = "cannot read the file";
    return false;
  }
  return true;
}

std::string fileMagic(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  char magic[4] = {};
  in.read(magic, sizeof magic);
  return std::string(magic,
                     static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
}

bool isPeFile(const fs::path& path) {
  return fileMagic(path).rfind("MZ", 0) == 0;
}

bool isElfFile(const fs::path& path) {
  return fileMagic(path) ==
         "\x7f"
         "ELF";
}

std::uint64_t firstModifiedTime(std::initializer_list<fs::path> paths) {
  for (const fs::path& path : paths) {
    if (path.empty())
      continue;
    if (auto seconds = platform::modifiedSeconds(path))
      return *seconds;
  }
  return 0;
}

fs::path bundleBinary(const fs::path& bundle, const std::string& executable) {
  const fs::path contents = bundle / "Contents";
  std::error_code error;
  if (!executable.empty()) {
    const fs::path named = contents / "MacOS" / fs::u8path(executable);
    if (fs::is_regular_file(named, error))
      return named;
  }
  std::vector<fs::path> folders;
  for (const fs::path& folder : sortedEntries(contents, true)) {
    if (isBinaryFolder(folder.filename().u8string()))
      folders.push_back(folder);
  }
  std::stable_sort(
      folders.begin(), folders.end(), [](const fs::path& a, const fs::path& b) {
        return folderRank(a.filename().u8string()) < folderRank(b.filename().u8string());
      });
  for (const fs::path& folder : folders) {
    fs::path binary = pickBinary(folder, bundle);
    if (!binary.empty())
      return binary;
  }
  return {};
}

std::string stemOf(const fs::path& path) {
  return path.stem().u8string();
}

}  // namespace vernatto::scan
