#include <algorithm>
#include <system_error>

#include "inventory/inventory.h"
#include "scan/discover.h"

namespace vernatto::scan {
namespace {

namespace fs = std::filesystem;

// Deeper than any real plug-in tree; keeps a hostile one from exhausting the
// stack.
constexpr int kMaxDepth = 64;

std::string lowerExtension(const fs::path& path) {
  return inventory::toLowerCopy(path.extension().u8string());
}

std::optional<Kind> bundleKind(const fs::path& folder) {
  const std::string extension = lowerExtension(folder);
  if (extension == ".vst3")
    return Kind::kVst3Bundle;
  if (extension == ".component")
    return Kind::kAuBundle;
  if (extension == ".aaxplugin")
    return Kind::kAaxBundle;
  if (extension == ".clap")
    return Kind::kClapBundle;
  if (extension == ".lv2")
    return Kind::kLv2Bundle;
  // Linux VST2 plug-ins may come in a ".vst" folder holding the bare library:
  // only a folder with a bundle's Contents is a bundle, the rest is walked.
  std::error_code error;
  if (extension == ".vst" && fs::is_directory(folder / "Contents", error)) {
    return Kind::kVst2Bundle;
  }
  return std::nullopt;
}

std::optional<Kind> fileKind(const fs::path& file) {
  const std::string extension = lowerExtension(file);
  if (extension == ".vst3")
    return Kind::kVst3File;
  if (extension == ".clap")
    return Kind::kClapFile;
  if (extension == ".dll" || extension == ".so")
    return Kind::kLibrary;
  return std::nullopt;
}

class Walker {
 public:
  explicit Walker(Discovery& discovery) : discovery_(discovery) {}

  void visit(const fs::path& path, int depth) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::is_directory(status)) {
      if (auto kind = bundleKind(path)) {
        if (firstVisit(path))
          discovery_.candidates.push_back({path, *kind});
      } else if (depth < kMaxDepth && firstVisit(path)) {
        walkFolder(path, depth);
      }
    } else if (fs::is_regular_file(status)) {
      auto kind = fileKind(path);
      if (kind && firstVisit(path))
        discovery_.candidates.push_back({path, *kind});
    } else if (!fs::exists(status) && (bundleKind(path) || fileKind(path))) {
      problem(path, "broken link");
      ++discovery_.skipped;
    }
  }

  void problem(const fs::path& path, const std::string& reason) {
    discovery_.problems.push_back(path.u8string() + ": " + reason);
  }

 private:
  bool firstVisit(const fs::path& path) {
    auto identity = platform::fileIdentity(path);
    // Without an identity the file cannot be told apart, so it is taken.
    return !identity || discovery_.seen.insert(*identity).second;
  }

  void walkFolder(const fs::path& folder, int depth) {
    std::error_code error;
    std::vector<fs::path> entries;
    for (fs::directory_iterator it(folder, error), end; !error && it != end;
         it.increment(error)) {
      entries.push_back(it->path());
    }
    if (error)
      problem(folder, "cannot read folder: " + error.message());
    std::sort(entries.begin(), entries.end());
    for (const fs::path& entry : entries)
      visit(entry, depth + 1);
  }

  Discovery& discovery_;
};

}  // namespace

void discover(const fs::path& given, bool mustExist, Discovery& discovery) {
  Walker walker(discovery);
  // "x.vst3/" names the bundle, not a nameless file inside it.
  fs::path root = given;
  while (root.has_relative_path() && root.filename().empty())
    root = root.parent_path();
  std::error_code error;
  if (!fs::exists(root, error)) {
    if (mustExist)
      walker.problem(root, "no such folder");
    return;
  }
  walker.visit(root, 0);
}

}  // namespace vernatto::scan
