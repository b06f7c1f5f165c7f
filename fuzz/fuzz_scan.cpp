// Hands every input to each of the scanner's metadata readers. None may
// crash, hang or read outside the input (the sanitizers watch), and each
// keeps its promises: a refusal says why and adds nothing.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "scan/elf.h"
#include "scan/moduleinfo.h"
#include "scan/pe.h"
#include "scan/plist.h"

namespace {

void check(bool promise) {
  if (!promise)
    std::abort();
}

void fuzzPe(const std::string& bytes) {
  std::istringstream in(bytes);
  vernatto::scan::PeImage image;
  std::string problem;
  if (!vernatto::scan::readPeImage(in, image, problem))
    check(!problem.empty() && image.exports.empty() && !image.hasVersion);
  for (const std::string* text :
       {&image.version.productVersion, &image.version.fileVersion})
    vernatto::scan::normaliseVersion(*text);
}

void fuzzElf(const std::string& bytes) {
  std::istringstream in(bytes);
  std::vector<std::string> exports;
  std::string problem;
  if (!vernatto::scan::readElfExports(in, exports, problem))
    check(!problem.empty() && exports.empty());
}

void fuzzModuleInfo(const std::string& bytes) {
  std::vector<vernatto::scan::ModuleClass> classes;
  std::string problem;
  if (!vernatto::scan::readModuleInfo(bytes, classes, problem))
    check(!problem.empty() && classes.empty());
}

void fuzzPlist(const std::string& bytes) {
  vernatto::scan::BundleInfo info;
  std::string problem;
  if (!vernatto::scan::readInfoPlist(bytes, info, problem))
    check(!problem.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  fuzzPe(bytes);
  fuzzElf(bytes);
  fuzzModuleInfo(bytes);
  fuzzPlist(bytes);
  return 0;
}
