// Builds without libplist (Windows, which has no bundles to read).
#include "scan/plist.h"

namespace vernatto::scan {

bool readInfoPlist(std::string_view, BundleInfo&, std::string& problem) {
  problem = "property lists are not supported in this build";
  return false;
}

}  // namespace vernatto::scan
