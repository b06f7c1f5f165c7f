// Where plug-ins are installed, and finding them there.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/scan_system.h"

namespace vernatto::scan {

// What the default folders depend on besides the system kind.
struct Environment {
  std::function<std::optional<std::string>(const std::string&)> variable;
  std::vector<std::string> registryVstFolders;  // Windows only
  std::string multiarch;                        // Linux only, may be empty
};

// The default plug-in folders of `system`, in UTF-8 with that system's
// separator, each listed once, in a fixed order. Folders built from unset
// variables are left out; list variables (VST_PATH, CLAP_PATH, LV2_PATH...)
// are split on ';' on Windows and ':' elsewhere.
std::vector<std::string> defaultFolders(platform::SystemKind system,
                                        const Environment& environment);

// The environment of this process and this build.
Environment processEnvironment();

// What a name and layout say a plug-in is. kLibrary is a bare .dll or .so,
// a VST2 plug-in only if it exports the entry point.
enum class Kind {
  kVst2Bundle,
  kVst3Bundle,
  kVst3File,
  kAuBundle,
  kAaxBundle,
  kClapBundle,
  kClapFile,
  kLv2Bundle,
  kLibrary
};

struct Candidate {
  std::filesystem::path path;
  Kind kind;
};

struct Discovery {
  std::vector<Candidate> candidates;      // each file or bundle once, in walk order
  std::vector<std::string> problems;      // "PATH: reason", one per unreadable place
  std::set<platform::FileIdentity> seen;  // every folder and file walked so far
  std::size_t skipped = 0;                // broken links with a plug-in's name
};

// Walks `root` (a folder, or a bundle or file itself) recursively, following
// links but never into a folder already walked, in name order, and appends
// what it recognises to `discovery`. A missing `root` is a problem only when
// `mustExist`.
void discover(const std::filesystem::path& root, bool mustExist, Discovery& discovery);

}  // namespace vernatto::scan
