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
TEST(ModuleInfo, ReadsAudioClassesWithFallbacksOrRejectsTheFile) {
  using Classes = std::vector<std::vector<std::string>>;
  const struct {
    std::string input;  // a fixture file name, or the text itself
    bool readable;
    Classes classes;  // name, vendor, version
  } cases[] = {
      {"sdk-written.json",
       true,
       {{"Ondine Reverb", "Marlowe Labs", "2.1.4"},
        {"Ondine D\xC3\xA9lai", "Marlowe Audio", "2.1.0"}}},
      {"hand-edited.json",
       true,
       {{"Brume /* mono */", "Atelier // Nord", "0.9"},
        {"Brume \"Wide\"", "Atelier // Nord", "0.9"}}},
      {"unescaped-quote.json", false, {}},
      {"unescaped-backslash.json", false, {}},
      {"{\"Classes\": [{\"Category\": \"Audio Module Class\"}]}", true, {{"", "", ""}}},
      {"{\"Classes\": {}, \"Version\": \"1\"}", true, {}},
      {"{\"Name\": \"unclosed", false, {}},
      {"[]", false, {}},
      {"\xEF\xBB\xBF{Classes: [{Category: \"Audio Module Class\", Name: \"B\",},],}",
       true,
       {{"B", "", ""}}},
      {"{/* unclosed comment", false, {}},
      {std::string(100, '[') + std::string(100, ']'), false, {}},
  };
  for (const auto& c : cases) {
    const bool inlineText = c.input.find(".json") == std::string::npos;
    std::vector<ModuleClass> read{{"kept", "", ""}};
    std::string problem;
    EXPECT_EQ(readModuleInfo(inlineText ? c.input : fixture(c.input), read, problem),
              c.readable)
        << c.input;
    EXPECT_EQ(problem.empty(), c.readable) << c.input;
    Classes got;
    for (std::size_t i = 1; i < read.size(); ++i)
      got.push_back({read[i].name, read[i].vendor, read[i].version});
    EXPECT_EQ(got, c.classes) << c.input;
  }
}

}  // namespace
}  // namespace vernatto::scan
