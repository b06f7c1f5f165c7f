#include <gtest/gtest.h>

#include <map>

#include "scan/discover.h"
#include "scan/options.h"
#include "scan/output.h"

namespace vernatto::scan {
namespace {

using platform::SystemKind;
using Variables = std::map<std::string, std::string>;

Environment environmentOf(const Variables& variables, std::vector<std::string> registry,
                          std::string multiarch) {
  return Environment{[variables](const std::string& name) -> std::optional<std::string> {
                       auto found = variables.find(name);
                       if (found == variables.end())
                         return std::nullopt;
                       return found->second;
                     },
                     std::move(registry), std::move(multiarch)};
}

TEST(DefaultFolders, FollowEachSystemsConventionsAndVariables) {
  struct Case {
    SystemKind system;
    Variables variables;
    std::vector<std::string> registry;
    std::vector<std::string> expected;
  };
  const Variables windows = {{"LOCALAPPDATA", "C:\\Users\\u\\AppData\\Local"},
                             {"COMMONPROGRAMFILES", "C:\\CPF"},
                             {"PROGRAMFILES", "C:\\PF"}};
  Variables windowsClap = windows;
  windowsClap["CLAP_PATH"] = "D:\\clap;;E:\\more";
  const std::vector<Case> cases = {
      {SystemKind::kWindows,
       windows,
       {"D:\\VST", "C:\\CPF\\VST2"},
       {"C:\\Users\\u\\AppData\\Local\\Programs\\Common\\VST3", "C:\\CPF\\VST3",
        "D:\\VST", "C:\\CPF\\VST2", "C:\\PF\\VSTPlugins", "C:\\PF\\Steinberg\\VstPlugins",
        "C:\\CPF\\Avid\\Audio\\Plug-Ins", "C:\\CPF\\CLAP",
        "C:\\Users\\u\\AppData\\Local\\Programs\\Common\\CLAP"}},
      // Only Linux has usual LADSPA and DSSI folders; Windows takes the
      // LADSPA variable's (DSSI needs ALSA), macOS none (Mach-O exports are
      // not read, so plug-ins could not be told from helpers).
      {SystemKind::kWindows,
       {{"CLAP_PATH", "D:\\clap;;E:\\more"},
        {"PROGRAMFILES", ""},
        {"LADSPA_PATH", "D:\\ladspa"},
        {"DSSI_PATH", "D:\\dssi"}},
       {},
       {"D:\\clap", "E:\\more", "D:\\ladspa"}},
      {SystemKind::kMacOS,
       {{"HOME", "/Users/u"}, {"LADSPA_PATH", "/opt/ladspa"}, {"DSSI_PATH", "/opt/dssi"}},
       {},
       {"/Users/u/Library/Audio/Plug-Ins/VST3", "/Library/Audio/Plug-Ins/VST3",
        "/Users/u/Library/Audio/Plug-Ins/VST", "/Library/Audio/Plug-Ins/VST",
        "/Users/u/Library/Audio/Plug-Ins/Components",
        "/Library/Audio/Plug-Ins/Components",
        "/Library/Application Support/Avid/Audio/Plug-Ins",
        "/Users/u/Library/Audio/Plug-Ins/CLAP", "/Library/Audio/Plug-Ins/CLAP"}},
      {SystemKind::kLinux,
       {{"HOME", "/home/u"}, {"DSSI_PATH", "/opt/dssi"}},
       {},
       {"/home/u/.vst3", "/usr/lib/vst3", "/usr/local/lib/vst3", "/home/u/.vst",
        "/home/u/.lxvst", "/usr/lib/vst", "/usr/lib/lxvst", "/usr/local/lib/vst",
        "/usr/local/lib/lxvst", "/home/u/.clap", "/usr/lib/clap", "/home/u/.lv2",
        "/usr/lib/x86_64-linux-gnu/lv2", "/usr/lib/lv2", "/usr/local/lib/lv2",
        "/home/u/.ladspa", "/usr/lib/ladspa", "/usr/local/lib/ladspa", "/opt/dssi"}},
      // Set list variables replace the usual VST2, LV2, LADSPA and DSSI
      // folders; unset HOME drops the home folders.
      {SystemKind::kLinux,
       {{"LXVST_PATH", "/opt/vst:/usr/lib/vst3"},
        {"LV2_PATH", "/opt/lv2"},
        {"CLAP_PATH", "/opt/clap"},
        {"LADSPA_PATH", "/opt/ladspa:/opt/lv2"}},
       {},
       {"/usr/lib/vst3", "/usr/local/lib/vst3", "/opt/vst", "/opt/clap", "/usr/lib/clap",
        "/opt/lv2", "/opt/ladspa", "/usr/lib/dssi", "/usr/local/lib/dssi"}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(defaultFolders(c.system,
                             environmentOf(c.variables, c.registry, "x86_64-linux-gnu")),
              c.expected)
        << static_cast<int>(c.system) << " " << c.expected.front();
  }
}

TEST(Options, ParseTheUsualWaysAndRejectTheRest) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    std::string output;
    std::vector<std::string> paths;
    bool defaults;
  };
  const Case cases[] = {
      {{}, true, "", {}, true},
      {{"-o", "a.json", "--path", "x", "--path=y"}, true, "a.json", {"x", "y"}, true},
      {{"-oa.json", "--no-default-paths", "--path", "-x"}, true, "a.json", {"-x"}, false},
      {{"--output=b.json", "--output", "c.json"}, true, "c.json", {}, true},
      {{"--path"}, false, "", {}, true},
      {{"-o"}, false, "", {}, true},
      {{"--output="}, false, "", {}, true},
      {{"--paths", "x"}, false, "", {}, true},
      {{"--help=yes"}, false, "", {}, true},
      {{"stray.json"}, false, "", {}, true},
      {{"--no-default-paths"}, false, "", {}, false},  // nothing left to scan
  };
  for (const Case& c : cases) {
    Options options;
    std::string problem;
    const bool ok = parseOptions(c.args, options, problem);
    EXPECT_EQ(ok, c.ok) << ::testing::PrintToString(c.args);
    EXPECT_EQ(problem.empty(), ok) << problem;
    EXPECT_EQ(problem.find('\n'), std::string::npos) << problem;
    if (!ok || !c.ok)
      continue;
    EXPECT_EQ(options.output, c.output);
    EXPECT_EQ(options.paths, c.paths);
    EXPECT_EQ(options.defaultPaths, c.defaults);
  }
}

TEST(Output, SortsWithoutCaseThenByPathAndWritesMembersInOrder) {
  auto found = [](std::string vendor, std::string name, std::string technology,
                  std::string version, std::string path) {
    return FoundPlugin{{vendor, name, version, technology, 7, "", {}}, path};
  };
  std::vector<FoundPlugin> plugins = {
      found("b", "x", "VST3", "", "/2"),   found("B", "x", "VST3", "1", "/1"),
      found("a", "Z", "VST3", "", "/3"),   found("z", "a", "AU", "", "/4"),
      found("a", "\xff", "LV2", "", "/5"),
  };
  sortFound(plugins);
  std::string order;
  for (const FoundPlugin& plugin : plugins)
    order += plugin.path;
  EXPECT_EQ(order, "/4/5/3/1/2");
  EXPECT_EQ(inventoryJson({plugins[0], plugins[1]}),
            "[\n  {\n    \"vendor\": \"z\",\n    \"name\": \"a\",\n    \"technology\": "
            "\"AU\",\n    \"modifiedTime\": 7,\n    \"path\": \"/4\"\n  },\n  {\n    "
            "\"vendor\": \"a\",\n    \"name\": \"\xef\xbf\xbd\",\n    \"technology\": "
            "\"LV2\",\n"
            "    \"modifiedTime\": 7,\n    \"path\": \"/5\"\n  }\n]\n");
  EXPECT_EQ(
      inventoryJson({plugins[3]})
              .find("\"modifiedTime\": 7,\n    \"version\": \"1\",\n    \"path\"") !=
          std::string::npos,
      true);
  EXPECT_EQ(inventoryJson({}), "[]\n");
}

}  // namespace
}  // namespace vernatto::scan
