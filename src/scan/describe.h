// What each plug-in file or bundle says about itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "scan/discover.h"

namespace vernatto::scan {

// One plug-in as an inventory lists it. Unlike the comparison's entries,
// which view their inventory's storage, it owns its texts: a scan collects
// its plug-ins one by one from many files.
struct ScannedEntry {
  std::string vendor;
  std::string name;
  std::string version;  // empty when unknown
  std::string technology;
  std::uint64_t modifiedTime = 0;
  std::string id;  // normal form (inventory/plugin_id.h); empty when unknown
  std::vector<std::string> compatible;  // VST3: the ids of the classes it replaces
};

struct FoundPlugin {
  ScannedEntry entry;
  std::string path;  // the file or bundle it came from, UTF-8
};

struct ScanResult {
  std::vector<FoundPlugin> plugins;
  std::vector<std::string>
      problems;  // "PATH: reason" for each skipped or partly read file
  std::size_t filesRead = 0;
  std::size_t filesSkipped = 0;
};

// Reads the metadata of `candidate` (any kind but kLv2Bundle) and appends
// one entry per plug-in it holds to `result`. A bare library is a DSSI,
// LADSPA or VST2 plug-in by the entry point it exports, looked for in that
// order (DSSI libraries export LADSPA's too); one exporting none adds
// nothing. Files that cannot be read add a problem; what could be read is
// kept, and a plug-in whose metadata is missing is named after its file or
// bundle.
void describe(const Candidate& candidate, ScanResult& result);

// The same for LV2 bundles, all at once: through lilv where the build has
// it, else each bundle named after itself.
void describeLv2(const std::vector<std::filesystem::path>& bundles, ScanResult& result);

}  // namespace vernatto::scan
