// macOS bundles' Info.plist, XML or binary.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vernatto::scan {

// One item of the AudioComponents array of an audio unit's Info.plist.
struct AudioComponent {
  std::string name;  // "Vendor: Plug-in name" by convention
  // Four-character codes by convention ("aufx"), as written.
  std::string type;
  std::string subtype;
  std::string manufacturer;
  bool hasVersion = false;
  std::uint64_t version = 0;  // the item's integer "version"
};

// The members of an Info.plist that say what a bundle is. Texts are UTF-8;
// a member that is absent or not of the expected type is left empty.
struct BundleInfo {
  std::string bundleName;    // CFBundleName
  std::string shortVersion;  // CFBundleShortVersionString
  std::string executable;    // CFBundleExecutable
  std::vector<AudioComponent> audioComponents;
};

// Parses the property list in `bytes`, XML or binary. Returns false, with
// `problem` saying why, when it is not a property list whose top level is a
// dictionary. Builds without property-list support (Windows) always return
// false.
bool readInfoPlist(std::string_view bytes, BundleInfo& info, std::string& problem);

}  // namespace vernatto::scan
