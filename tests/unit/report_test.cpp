#include <gtest/gtest.h>

#include <sstream>

#include "common/html.h"
#include "report/report.h"

namespace vernatto::report {
namespace {

using compare::EntryPair;
using inventory::PluginEntry;

TEST(AppendEscaped, ReplacesTheFiveMarkupCharacters) {
  const std::pair<std::string, std::string> cases[] = {
      {"", ""},
      {"plain é 日本", "plain é 日本"},
      {"<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"},
      {"a & b", "a &amp; b"},
      {"\"quoted\" 'single'", "&quot;quoted&quot; &#39;single&#39;"},
      {"&amp;", "&amp;amp;"},
  };
  for (const auto& [raw, escaped] : cases) {
    std::string out = "kept ";
    common::appendEscaped(out, raw);
    EXPECT_EQ(out, "kept " + escaped);
  }
}

struct Sections {
  std::string console;
  std::string report;
};

Sections write(const std::vector<EntryPair>& pairs) {
  std::ostringstream console;
  std::ostringstream report;
  writeSections(pairs, "one.json", "two.json", console, report);
  return {console.str(), report.str()};
}

TEST(WriteSections, PutsEveryPairIntoExactlyOneSection) {
  // A pair's two entries: vendor, name and technology are the first's.
  struct Case {
    PluginEntry first;
    PluginEntry second;
    const char* section;
    const char* line;
  };
  const std::uint64_t kMax = 18446744073709551615u;
  const Case cases[] = {
      {{"V", "N", "1.0", "T", 1},
       {"V", "N", "1.1", "T", 1},
       "Version mismatch",
       "V | N | T | 1.0 | 1.1"},
      {{"V", "N", "1.0", "T", 1},
       {"V", "N", "", "T", 1},
       "Version mismatch",
       "V | N | T | 1.0 | "},
      {{"V", "N", "1.0", "T", 1},
       {"V", "N", "1.0", "T", 2},
       "In Sync",
       "V | N | T | 1.0"},
      {{"V", "N", "", "T", 5}, {"V", "N", "2.0", "T", 5}, "In Sync", "V | N | T | "},
      {{"V", "N", "", "T", 9},
       {"V", "N", "2.0", "T", 5},
       "Timestamp mismatch",
       "V | N | T | <-newer"},
      {{"V", "N", "", "T", 5},
       {"V", "N", "", "T", 9},
       "Timestamp mismatch",
       "V | N | T | ->newer"},
      {{"V", "N", "", "T", kMax},
       {"V", "N", "", "T", 0},
       "Timestamp mismatch",
       "V | N | T | <-newer"},
  };
  for (const Case& c : cases) {
    const std::string console = write({{&c.first, &c.second}}).console;
    const std::size_t line = console.find(std::string(c.line) + "\n");
    ASSERT_NE(line, std::string::npos) << c.line;
    EXPECT_EQ(console.find(c.line, line + 1), std::string::npos) << c.line;
    const std::size_t title = console.rfind("\n\n", line);
    EXPECT_EQ(console.compare(title + 2, std::string(c.section).size(), c.section), 0)
        << c.line;
  }
}

TEST(WriteSections, WritesEmptySectionsWithoutPairs) {
  const Sections s = write({});
  EXPECT_EQ(s.console,
            "\nVersion mismatch\n================\n"
            "\nTimestamp mismatch\n==================\n"
            "\nIn Sync\n=======\n");
  const std::string perFile =
      "<table>\n<thead>\n<tr><th>Vendor</th><th>Plugin</th><th>Technology</th>"
      "<th>one.json</th><th>two.json</th></tr>\n</thead>\n</table>\n";
  EXPECT_EQ(s.report, "<h2>Version Mismatch</h2>\n" + perFile +
                          "<h2>Timestamp Mismatch</h2>\n" + perFile +
                          "<h2>In Sync</h2>\n<table>\n<thead>\n<tr><th>Vendor</th>"
                          "<th>Plugin</th><th>Technology</th><th>version</th></tr>\n"
                          "</thead>\n</table>\n");
}

TEST(WriteSections, EscapesTheReportButNotTheConsole) {
  std::ostringstream console;
  std::ostringstream report;
  const PluginEntry first{"a&b", "<i>", "\"1\"", "'T'", 0};
  const PluginEntry second{"a&b", "<i>", "2>", "'T'", 0};
  writeSections({{&first, &second}}, "x&y.json", "<z>.json", console, report);
  EXPECT_NE(console.str().find("a&b | <i> | 'T' | \"1\" | 2>\n"), std::string::npos);
  EXPECT_NE(report.str().find("<th>x&amp;y.json</th><th>&lt;z&gt;.json</th>"),
            std::string::npos);
  EXPECT_NE(report.str().find("<tr><td>a&amp;b</td><td>&lt;i&gt;</td><td>&#39;T&#39;"
                              "</td><td>&quot;1&quot;</td><td>2&gt;</td></tr>\n"),
            std::string::npos);
}

TEST(Report, FailsWhenTheFileCannotBeWritten) {
  const std::string folder = ::testing::TempDir() + "no-such-folder/";
  std::ofstream unopened = openReport(folder + "Vernatto.html");
  std::ostringstream console;
  writeSections({}, "a", "b", console, unopened);
  EXPECT_FALSE(closeReport(unopened));

  const std::string path = ::testing::TempDir() + "report_test.html";
  std::ofstream report = openReport(path);
  EXPECT_TRUE(closeReport(report));
  std::ifstream written(path);
  const std::string text((std::istreambuf_iterator<char>(written)), {});
  EXPECT_EQ(text, htmlHead("Vernatto") + "<h1>Vernatto</h1>\n</body>\n</html>\n");
}

}  // namespace
}  // namespace vernatto::report
