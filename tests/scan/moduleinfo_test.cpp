#include "scan/moduleinfo.h"

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vernatto::scan {
namespace {

std::string fixture(const std::string& name) {
  std::ifstream file(std::string(VERNATTO_SCAN_TEST_DATA) + "/" + name, std::ios::binary);
  EXPECT_TRUE(file) << name;
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A file that cannot be parsed yields nothing, so the caller's fallback runs.
// A class's id and the ids it replaces are in normal form, each once.
TEST(ModuleInfo, ReadsAudioClassesWithFallbacksOrRejectsTheFile) {
  using Classes = std::vector<std::vector<std::string>>;
  const struct {
    std::string input;  // a fixture file name, or the text itself
    bool readable;
    Classes classes;  // name, vendor, version, id, compatible ids
  } cases[] = {
      {"sdk-written.json",
       true,
       {{"Ondine Reverb", "Marlowe Labs", "2.1.4", "6A3F0C2B8E1D4F5A9B7C0D1E2F3A4B5C",
         "565354526576624F6E64696E65205265 9D3B2E1F0A4C4B5D8E6F7A8B9C0D1E2F"},
        {"Ondine D\xC3\xA9lai", "Marlowe Audio", "2.1.0",
         "8C5B2E4DA03F516C9D7E2F3A4B5C6D7E", "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA"}}},
      {"hand-edited.json",
       true,
       {{"Brume /* mono */", "Atelier // Nord", "0.9", "", ""},
        {"Brume \"Wide\"", "Atelier // Nord", "0.9", "", ""}}},
      {"unescaped-quote.json", false, {}},
      {"unescaped-backslash.json", false, {}},
      {"{\"Classes\": [{\"Category\": \"Audio Module Class\", \"CID\": \"A1\"}]}",
       true,
       {{"", "", "", "", ""}}},
      {"{\"Classes\": {}, \"Version\": \"1\"}", true, {}},
      {"{\"Name\": \"unclosed", false, {}},
      {"[]", false, {}},
      {"\xEF\xBB\xBF{Classes: [{Category: \"Audio Module Class\", Name: \"B\",},],}",
       true,
       {{"B", "", "", "", ""}}},
      {"{/* unclosed comment", false, {}},
      {std::string(100, '[') + std::string(100, ']'), false, {}},
  };
  for (const auto& c : cases) {
    const bool inlineText = c.input.find(".json") == std::string::npos;
    std::vector<ModuleClass> read(1);
    std::string problem;
    EXPECT_EQ(readModuleInfo(inlineText ? c.input : fixture(c.input), read, problem),
              c.readable)
        << c.input;
    EXPECT_EQ(problem.empty(), c.readable) << c.input;
    Classes got;
    for (std::size_t i = 1; i < read.size(); ++i) {
      std::string compatible;
      for (const std::string& id : read[i].compatible)
        compatible += (compatible.empty() ? "" : " ") + id;
      got.push_back(
          {read[i].name, read[i].vendor, read[i].version, read[i].id, compatible});
    }
    EXPECT_EQ(got, c.classes) << c.input;
  }
}

}  // namespace
}  // namespace vernatto::scan
