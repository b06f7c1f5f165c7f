// Windows binaries (PE/COFF images): exported names and the version resource.
#pragma once

#include <istream>
#include <string>
#include <string_view>
#include <vector>

namespace vernatto::scan {

// The texts of one version resource, converted to UTF-8. Of a resource kept
// in several languages, the neutral copy is read, else US English, else any
// English, else the first. Its string table is the first that
// VarFileInfo\Translation names and the resource holds, else 040904B0/040904E4
// (language 0409), else the first table in the resource.
struct PeVersion {
  std::string companyName;
  std::string productName;
  std::string fileDescription;
  std::string productVersion;    // as written, not normalised
  std::string fileVersion;       // as written, not normalised
  std::string fixedFileVersion;  // "a.b.c.d" from VS_FIXEDFILEINFO, empty without one
};

struct PeImage {
  std::vector<std::string> exports;  // names in the export directory
  bool hasVersion = false;           // a version resource was found and read
  PeVersion version;
};

// Reads the export names and the version resource of the PE image in `in`,
// seeking to what it needs rather than reading the whole binary. Returns
// false, with `problem` saying why, when `in` holds no PE image whose headers
// can be read. A broken export table or resource tree leaves that part empty
// and says so in `problem`, while the function still returns true. Every
// offset taken from the input is checked against its size before use.
bool readPeImage(std::istream& in, PeImage& image, std::string& problem);

// A version as people write it: "1, 4, 2, 0" and "1,4,2,0" become "1.4.2.0";
// surrounding white space is dropped; anything else is kept as it stands.
std::string normaliseVersion(std::string_view version);

}  // namespace vernatto::scan
