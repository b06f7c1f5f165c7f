// What the scanner asks of the operating system: which system it runs on,
// environment variables, the registry, file times and identities, the console.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vernatto::platform {

enum class SystemKind { kWindows, kMacOS, kLinux };

// The system this program was built for.
SystemKind thisSystem();

// The Debian multiarch folder name of this build's libraries (for example
// "x86_64-linux-gnu"); empty where the system has none.
std::string multiarchTriple();

// The value of the environment variable `name` in UTF-8, or nothing when it
// is not set.
std::optional<std::string> environmentVariable(const std::string& name);

// The folders named by the VST2 registry values (HKLM\SOFTWARE\VST and its
// WOW6432Node twin, value VSTPluginsPath), in that order, in UTF-8. Empty
// where there is no registry or the values are absent.
std::vector<std::string> registryVstFolders();

// The file's last modification time in whole seconds since the Unix epoch,
// following links. Returns nothing when the file cannot be examined.
std::optional<std::uint64_t> modifiedSeconds(const std::filesystem::path& path);

// What tells two names of one file or folder apart from two files: the
// device and the file number. Returns nothing when the file cannot be
// examined. Links are followed.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t number = 0;
  bool operator<(const FileIdentity& other) const {
    return device != other.device ? device < other.device : number < other.number;
  }
};
std::optional<FileIdentity> fileIdentity(const std::filesystem::path& path);

}  // namespace vernatto::platform
