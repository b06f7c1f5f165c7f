#include "scan/describe.h"
#include "scan/files.h"

namespace vernatto::scan {

// Without lilv (the Windows build) an LV2 bundle is listed under its own name.
void describeLv2(const std::vector<std::filesystem::path>& bundles, ScanResult& result) {
  for (const std::filesystem::path& bundle : bundles) {
    ScannedEntry entry;
    entry.name = stemOf(bundle);
    entry.technology = "LV2";
    entry.modifiedTime = firstModifiedTime({bundle / "manifest.ttl", bundle});
    result.plugins.push_back(FoundPlugin{entry, bundle.u8string()});
  }
}

}  // namespace vernatto::scan
