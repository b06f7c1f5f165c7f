// VST3 bundles' moduleinfo.json, in the relaxed JSON the SDK writes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vernatto::scan {

// One class of Category "Audio Module Class", with the fallbacks applied:
// vendor is the class's Vendor, else the file's "Factory Info".Vendor;
// version is the class's Version, else the file's top-level Version. Its id
// is the CID in normal form (32 upper-case hex digits), empty when the CID is
// missing or no class id; compatible holds, in that form and each once, every
// "Old" of the "Compatibility" items whose "New" is this class, in file order.
struct ModuleClass {
  std::string name;
  std::string vendor;
  std::string version;
  std::string id;
  std::vector<std::string> compatible;
};

// Parses the moduleinfo text and appends its audio module classes to
// `classes`. Accepts what the SDK writes and people edit: a comma after the
// last member or element, // and /* */ comments, unquoted member names.
// Returns false, with `problem` saying why, when the text cannot be parsed
// (for example a name with an unescaped quote, which the SDK writes as is);
// `classes` is then left unchanged.
bool readModuleInfo(std::string_view text, std::vector<ModuleClass>& classes,
                    std::string& problem);

}  // namespace vernatto::scan
