#include <gtest/gtest.h>

#include <deque>

#include "common/command_line.h"
#include "fleet/machines.h"
#include "fleet/options.h"
#include "fleet/plugins.h"

namespace vernatto::fleet {
namespace {

// Installs written as "1.0@5" (version 1.0, time 5) or "@5" (no version),
// joined by " + " for several; "-" is none, "?" unknown (none on a machine
// whose file was not read whole).
class Installed {
 public:
  Installs add(const std::string& text) {
    std::vector<const PluginEntry*>& pointers = pointers_.emplace_back();
    std::size_t from = 0;
    while (text != "-" && text != "?" && from < text.size()) {
      std::size_t end = text.find(" + ", from);
      end = end == std::string::npos ? text.size() : end;
      const std::string& item = texts_.emplace_back(text.substr(from, end - from));
      const std::size_t at = item.find('@');
      PluginEntry& entry = entries_.emplace_back();
      entry.version = std::string_view(item).substr(0, at);
      entry.modifiedTime = std::stoull(item.substr(at + 1));
      pointers.push_back(&entry);
      from = end + 3;
    }
    return {pointers.data(), pointers.data() + pointers.size(), text == "?"};
  }

 private:
  std::deque<std::string> texts_;
  std::deque<PluginEntry> entries_;
  std::deque<std::vector<const PluginEntry*>> pointers_;
};

TEST(Fleet, StatusComparesSetsOfVersionsThenSetsOfTimes) {
  struct Case {
    std::vector<std::string> machines;
    Status status;
  };
  const Case cases[] = {
      {{"1.0@1", "1.0@2"}, Status::kAlike},  // equal versions, whatever the times
      {{"1.0@1", "-"}, Status::kMissing},
      {{"1.0@1", "1.1@1", "-"}, Status::kMissing},
      {{"1.0@1", "1.1@1"}, Status::kVersion},
      {{"@1", "1.0@1"}, Status::kVersion},  // no version against one: symmetric
      {{"1.0@1", "@1"}, Status::kVersion},
      {{"@1", "@2"}, Status::kTime},
      {{"@1", "@1"}, Status::kAlike},
      {{"1.0@1 + 1.0@2", "1.0@3"}, Status::kAlike},  // sets, not lists
      {{"1.0@1 + 1.1@1", "1.1@1 + 1.0@1"}, Status::kAlike},
      {{"1.0@1 + 1.1@1", "1.0@1"}, Status::kVersion},
      {{"@1 + @2", "@2 + @1"}, Status::kAlike},
      {{"@1 + @2", "@1"}, Status::kTime},
      {{"@1 + 1.0@2", "@5 + 1.0@6"}, Status::kAlike},  // not the empty text alone
      // An unknown machine neither lacks the plug-in nor holds it otherwise.
      {{"1.0@1", "?", "1.0@2"}, Status::kAlike},
      {{"?", "1.0@1", "-"}, Status::kMissing},
      {{"?", "@1", "@2"}, Status::kTime},
      {{"?", "1.0@1", "1.1@1"}, Status::kVersion},
  };
  for (const Case& c : cases) {
    Installed installed;
    std::vector<Installs> installs;
    for (const std::string& machine : c.machines)
      installs.push_back(installed.add(machine));
    EXPECT_EQ(statusOf(installs), c.status) << ::testing::PrintToString(c.machines);
  }
}

TEST(Fleet, GroupsMachinesThatHoldAPluginAlikeInOrderOfTheirFirstMachine) {
  // Single installs take a sorted path, several a pairwise one: both here.
  const std::vector<std::vector<std::string>> machines = {
      {"2.0@1", "-", "1.0@2", "2.0@3", "@4", "1.0@5", "@4", "@5"},
      {"2.0@1", "1.0@1 + 2.0@2", "-", "2.0@2 + 1.0@3", "2.0@4"},
  };
  const std::vector<std::uint32_t> expected[] = {
      {0, kNoGroup, 1, 0, 2, 1, 2, 3},
      {0, 1, kNoGroup, 1, 0},
  };
  for (std::size_t c = 0; c < machines.size(); ++c) {
    Installed installed;
    std::vector<Installs> installs;
    for (const std::string& machine : machines[c])
      installs.push_back(installed.add(machine));
    EXPECT_EQ(groupMachines(installs), expected[c])
        << ::testing::PrintToString(machines[c]);
  }
}

TEST(Fleet, VersusJudgesOneMachineAgainstTheReference) {
  struct Case {
    const char* machine;
    const char* reference;
    Versus versus;
  };
  const Case cases[] = {
      {"-", "-", Versus::kNone},
      {"-", "1.0@1", Versus::kMissing},
      {"1.0@1", "-", Versus::kExtra},
      {"1.0@1", "1.0@9", Versus::kSame},
      {"@1", "@1", Versus::kSame},
      {"1.9@1", "1.10@1", Versus::kOlder},
      {"1.10@1", "1.9@1", Versus::kNewer},
      {"@1", "@2", Versus::kOlder},
      {"@3", "@2", Versus::kNewer},
      {"01@1", "1@1", Versus::kDiffers},  // equal in natural order, not as texts
      {"1.0@1", "@1", Versus::kDiffers},
      {"1.0@1 + 1.1@1", "1.0@1", Versus::kDiffers},
      {"1.1@1 + 1.0@1", "1.0@1 + 1.1@2", Versus::kSame},
      {"?", "1.0@1", Versus::kUnknown},
      {"?", "-", Versus::kUnknown},
      {"1.0@1", "?", Versus::kUnknown},  // the reference's own cell unknown
      {"-", "?", Versus::kUnknown},
  };
  for (const Case& c : cases) {
    Installed installed;
    EXPECT_EQ(versusOf(installed.add(c.machine), installed.add(c.reference)), c.versus)
        << c.machine << " against " << c.reference;
  }
}

TEST(Fleet, NaturalOrderComparesDigitRunsByValue) {
  struct Case {
    const char* a;
    const char* b;
    int sign;
  };
  const Case cases[] = {
      {"1.9", "1.10", -1},
      {"2", "10", -1},
      {"0010", "9", 1},
      {"01", "1", 0},
      {"1.0", "1.0a", -1},  // runs out first
      {"1.0", "1.0.1", -1},
      {"1a", "1b", -1},
      {"1.a", "1.ab", -1},  // other runs bytewise, prefix first
      {"1", "a", -1},       // a digit run before another run
      {"a", "1", 1},
      {"", "0", -1},
      {"v\xc3\xa9", "vz", 1},  // bytes above 0x7F as unsigned
      {"99999999999999999999999", "99999999999999999999998", 1},
  };
  for (const Case& c : cases) {
    const int result = compareNatural(c.a, c.b);
    EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b;
    EXPECT_EQ(compareNatural(c.b, c.a), -result) << c.b << " vs " << c.a;
  }
}

TEST(Fleet, FormatsTimesAsUtcUpToTheYear9999) {
  const std::pair<std::uint64_t, const char*> cases[] = {
      {0, "1970-01-01 00:00:00 UTC"},
      {951782400, "2000-02-29 00:00:00 UTC"},
      {1730400000, "2024-10-31 18:40:00 UTC"},
      {253402300799, "9999-12-31 23:59:59 UTC"},
      {253402300800, "253402300800"},
      {18446744073709551615u, "18446744073709551615"},
  };
  for (const auto& [seconds, text] : cases) {
    std::string out = "at ";  // appended to what is there
    appendTime(out, seconds);
    EXPECT_EQ(out, std::string("at ") + text);
  }
}

TEST(Fleet, MachinesAreNamedAfterTheirFilesAsTheSystemSplitsPaths) {
  struct Case {
    const char* path;
    char separator;
    const char* name;
    const char* joined;  // "x.json" in the path taken as a folder
  };
  const Case cases[] = {
      {"rooms/Studio A.json", '/', "Studio A", "rooms/Studio A.json/x.json"},
      {"b.JSON", '/', "b", "b.JSON/x.json"},
      {"c.json.bak", '/', "c.json.bak", "c.json.bak/x.json"},
      {"rooms\\a.json", '/', "rooms\\a", "rooms\\a.json/x.json"},
      {"rooms\\a.json", '\\', "a", "rooms\\a.json\\x.json"},
      {"C:/rooms/a.json", '\\', "a", "C:/rooms/a.json\\x.json"},
      {"rooms/", '/', "", "rooms/x.json"},
      {"rooms/", '\\', "", "rooms/x.json"},
      {".json", '/', "", ".json/x.json"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(machineName(c.path, pathSeparators(c.separator)), c.name) << c.path;
    EXPECT_EQ(joinPath(c.path, "x.json", c.separator), c.joined) << c.path;
  }
  EXPECT_EQ(nameClash({"a/x.json", "b/y.json"}, "/"), "");
  EXPECT_NE(nameClash({"a/x.json", "b/y.json", "c/x.JSON"}, "/").find("\"c/x.JSON\""),
            std::string::npos);
}

TEST(Fleet, OptionsStandAnywhereAndWrongOnesAreRefused) {
  struct Case {
    std::vector<std::string> args;
    bool ok;
    std::vector<std::string> inventories;
  };
  const Case cases[] = {
      {{"a.json", "--html", "x.html", "b", "--all"}, true, {"a.json", "b"}},
      {{"--reference=a", "--", "--all", "-"}, true, {"--all", "-"}},
      {{"--json", "-", "--csv", "-", "a", "b"}, false, {}},
      {{"--open", "a", "b"}, false, {}},
      {{"--open", "--html", "-", "a", "b"}, false, {}},
      {{"--open", "--html", "p.html", "a", "b"}, true, {"a", "b"}},
      {{"a", "--csv"}, false, {}},
      {{"--csv=", "a"}, false, {}},
      {{"--alls", "a"}, false, {}},
      {{"--all=yes", "a"}, false, {}},
  };
  for (const Case& c : cases) {
    Options options;
    std::string problem;
    EXPECT_EQ(parseOptions(c.args, options, problem), c.ok)
        << ::testing::PrintToString(c.args);
    EXPECT_EQ(problem.empty(), c.ok) << problem;
    if (c.ok) {
      EXPECT_EQ(options.inventories, c.inventories) << ::testing::PrintToString(c.args);
    }
  }
}

}  // namespace
}  // namespace vernatto::fleet
