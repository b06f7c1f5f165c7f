#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "inventory/inventory.h"

namespace vernatto::inventory {
namespace {

struct ReadResult {
  std::string console;  // everything after the "File: " line
  Inventory entries;
  ReadOutcome outcome;  // of readEntries on the same text
};

// The name the streams are read under; a file of that name need not exist.
const std::string kName = "inventory.json";

ReadResult readText(const std::string& text) {
  ReadResult result;
  std::istringstream in(text);
  std::ostringstream out;
  readInventory(in, kName, result.entries, out);
  const std::string console = out.str();
  const std::string fileLine = "File: " + kName + "\n";
  EXPECT_EQ(console.substr(0, fileLine.size()), fileLine);
  result.console = console.substr(std::min(fileLine.size(), console.size()));
  std::istringstream again(text);
  Inventory unsorted;
  result.outcome = readEntries(again, unsorted);
  EXPECT_EQ(unsorted.size(), result.entries.size());
  return result;
}

std::string failed() {
  return "failed reading file \"" + kName + "\"\n";
}

std::string fields(const PluginEntry& e) {
  std::ostringstream text;
  text << e.vendor << "|" << e.name << "|" << e.version << "|" << e.technology << "|"
       << e.modifiedTime;
  return text.str();
}

const char* const kFull =
    R"({"vendor":"A","name":"B","technology":"T","modifiedTime":7,"version":"1.2"})";

// The file is opened by its UTF-8 name on every system; one that cannot be
// opened reads like an empty file.
TEST(ReadInventory, OpensTheFileByItsUtf8Name) {
  const std::string missing = ::testing::TempDir() + "no/such/file.json";
  ReadResult r;
  std::ostringstream out;
  readInventory(missing, r.entries, out);
  EXPECT_EQ(out.str(), "File: " + missing + "\nfailed reading file \"" + missing +
                           "\"\n0 entries\n");
  EXPECT_TRUE(r.entries.empty());

  const std::string path = ::testing::TempDir() + "reader_test_\xc3\xa9\xe6\x97\xa5_" +
                           std::to_string(getpid()) + ".json";
  std::ofstream(std::filesystem::u8path(path)) << "[" << kFull << "]";
  std::ostringstream named;
  readInventory(path, r.entries, named);
  std::filesystem::remove(std::filesystem::u8path(path));
  EXPECT_EQ(named.str(), "File: " + path + "\n1 entries\nA | B | T | 1.2 | 7\n");
}

TEST(ReadInventory, FilesWithoutAnArrayYieldNoEntries) {
  using V = ReadOutcome::Value;
  struct Case {
    const char* what;
    std::string text;
    bool fails;
    V topLevel;  // an array, another value (not an inventory) or none at all
  };
  const Case cases[] = {
      {"empty", "", true, V::kNone},
      {"whitespace", " \n\t ", true, V::kNone},
      {"leading comment", "// x\n[]", true, V::kNone},
      {"UTF-16", std::string("\xFF\xFE[\0]\0", 6), true, V::kNone},
      {"cut string", R"("abc)", true, V::kNone},
      {"broken object", R"({"a": [)", true, V::kOther},
      {"empty array", "[]", false, V::kArray},
      {"cut empty array", "[", true, V::kArray},
      {"object holding an array", std::string("{\"list\":[") + kFull + "]}", false,
       V::kOther},
      {"string", R"("[1]")", false, V::kOther},
      {"number", "12", false, V::kOther},
      {"null", "null", false, V::kOther},
  };
  for (const Case& c : cases) {
    const ReadResult r = readText(c.text);
    EXPECT_EQ(r.console, (c.fails ? failed() : "") + "0 entries\n") << c.what;
    EXPECT_TRUE(r.entries.empty()) << c.what;
    EXPECT_EQ(r.outcome.whole, !c.fails) << c.what;
    EXPECT_EQ(r.outcome.topLevel, c.topLevel) << c.what;
    EXPECT_FALSE(r.outcome.lastElementCut) << c.what;
  }
}

// A file that is not whole says where it failed and why: its end came too
// early, or a byte there is not JSON.
TEST(ReadInventory, FailuresSayWhereAndWhat) {
  const std::pair<std::string, const char*> cases[] = {
      {"", "empty"},
      {"[\n  {\"vendor\": \"A\", \"na", "cut off at line 2, column 22 (byte 23)"},
      {"[1,\n 2,\n // x\n]", "not JSON at line 3, column 2 (byte 9)"},
      {"[tr", "cut off at line 1, column 4 (byte 3)"},
      {std::string("\xFF\xFE[\0]\0", 6), "not JSON at line 1, column 1 (byte 0)"},
      {"[1,]", "not JSON at line 1, column 4 (byte 3)"},
  };
  for (const auto& [text, expected] : cases) {
    std::istringstream in(text);
    Inventory entries;
    EXPECT_EQ(failureText(readEntries(in, entries)), expected) << text;
  }
}

// The members a project is matched by, when an inventory asks for them: the
// entries stay as without them, and every entry has its own details.
TEST(ReadInventory, KeepsIdPathAndCompatibleIdsWhenAsked) {
  const std::string text =
      std::string("[") + kFull +
      R"(, {"id": "A1", "path": "/p/a.vst3", "compatible": ["B", 7, ["C"], "D"],
                              "vendor": "A", "name": "B", "technology": "T", "modifiedTime": 7},
                           3, {"id": 5, "path": "/x", "path": null, "compatible": "E"},
                           {"id": "first", "id": "last", "compatible": ["F"], "compatible": {}},
                           {"compatible": ["G", "H)";
  struct Case {
    const char* id;
    const char* path;
    std::vector<std::string_view> compatible;
  };
  const Case cases[] = {
      {"", "", {}},
      {"A1", "/p/a.vst3", {"B", "D"}},
      {"", "", {}},
      {"", "", {}},
      {"last", "", {}},
      // The element the stream's end cut is left out by the fleet, but
      // what it held so far stays with it.
      {"", "", {"G"}},
  };
  std::istringstream in(text);
  Inventory with;
  with.keepDetails();
  EXPECT_FALSE(readEntries(in, with).whole);
  std::istringstream again(text);
  Inventory without;
  readEntries(again, without);
  ASSERT_EQ(with.size(), std::size(cases));
  EXPECT_EQ(with, without);
  const Inventory copy = with;  // its own storage
  for (std::size_t i = 0; i < with.size(); ++i) {
    EXPECT_EQ(copy.details(i).id, cases[i].id) << i;
    EXPECT_EQ(copy.details(i).path, cases[i].path) << i;
    EXPECT_EQ(copy.details(i).compatible, cases[i].compatible) << i;
    EXPECT_TRUE(without.details(i).id.empty());
  }
  with.pop_back();
  EXPECT_EQ(with.details(with.size()).compatible.size(), 0u);  // gone with its entry
}

TEST(ReadInventory, EachElementYieldsTheFieldsReadBeforeTheFirstFailure) {
  struct Case {
    const char* element;
    const char* echo;
  };
  const Case cases[] = {
      {kFull, "A | B | T | 1.2 | 7"},
      {R"({"vendor":"A","name":"B","technology":"T","modifiedTime":7})",
       "A | B | T |  | 7"},
      {R"({"version":null,"modifiedTime":7,"technology":"T","name":"B","vendor":"A"})",
       "A | B | T |  | 7"},
      {R"({"vendor":"A","name":"B","technology":"T","modifiedTime":7,"version":2})",
       "A | B | T |  | 7"},
      {R"({"name":"B","technology":"T","modifiedTime":7,"version":"1"})",
       " |  |  |  | 0"},
      {R"({"vendor":1,"name":"B","technology":"T","modifiedTime":7})", " |  |  |  | 0"},
      {R"({"vendor":"A","technology":"T","modifiedTime":7,"version":"1"})",
       "A |  |  |  | 0"},
      {R"({"vendor":"A","name":null,"technology":"T","modifiedTime":7})",
       "A |  |  |  | 0"},
      {R"({"vendor":"A","name":"B","technology":["T"],"modifiedTime":7})",
       "A | B |  |  | 0"},
      {R"({"vendor":"A","name":"B","technology":"T","version":"1"})", "A | B | T |  | 0"},
      {R"({"vendor":"A","name":"B","technology":"T","modifiedTime":"7","version":"1"})",
       "A | B | T |  | 0"},
      {R"({"vendor":"A","name":"B","technology":"T","modifiedTime":true})",
       "A | B | T |  | 0"},
      {R"({"vendor":"A","vendor":"C","name":"B","technology":"T","modifiedTime":1})",
       "C | B | T |  | 1"},
      {"{}", " |  |  |  | 0"},
      {"null", " |  |  |  | 0"},
      {"5", " |  |  |  | 0"},
      {R"("A")", " |  |  |  | 0"},
      {R"(["A","B","T",7])", " |  |  |  | 0"},
  };
  for (const Case& c : cases) {
    const ReadResult r = readText(std::string("[") + c.element + "]");
    EXPECT_EQ(r.console, std::string("1 entries\n") + c.echo + "\n") << c.element;
    ASSERT_EQ(r.entries.size(), 1u) << c.element;
  }
}

TEST(ReadInventory, ConvertsModifiedTimeToUnsigned64Bits) {
  struct Case {
    const char* json;
    std::uint64_t time;  // 0 with a failed conversion, which also drops the version
    bool converts;
  };
  const Case cases[] = {
      {"0", 0, true},
      {"18446744073709551615", 18446744073709551615u, true},
      {"-1", 18446744073709551615u, true},
      {"-9223372036854775808", 9223372036854775808u, true},
      {"1.9", 1, true},
      {"-0.5", 0, true},
      {"2e3", 2000, true},
      {"1.8446744073709550e19", 18446744073709549568u, true},
      {"18446744073709551616", 0, false},
      {"-9223372036854775809", 0, false},
      {"1e20", 0, false},
      {"-1.5", 0, false},
      {"-1e400", 0, false},
      {"\"5\"", 0, false},
      {"null", 0, false},
      {"{}", 0, false},
  };
  for (const Case& c : cases) {
    const ReadResult r =
        readText(std::string(R"([{"vendor":"A","name":"B",)") +
                 R"("technology":"T","version":"9","modifiedTime":)" + c.json + "}]");
    ASSERT_EQ(r.entries.size(), 1u) << c.json;
    EXPECT_EQ(r.entries[0].modifiedTime, c.time) << c.json;
    EXPECT_EQ(r.entries[0].version, c.converts ? "9" : "") << c.json;
  }
}

TEST(ReadInventory, BrokenFileKeepsTheElementsBegunBeforeTheFault) {
  struct Case {
    const char* what;
    std::string text;
    std::string echo;
    bool cut;  // the last element was cut short
  };
  const std::string two = std::string("[") + kFull + "," + kFull;
  const Case cases[] = {
      {"cut inside the third element",
       two + R"(,{"vendor":"C","name":"D","technology":"T","modifiedTime":12)",
       "3 entries\nA | B | T | 1.2 | 7\nA | B | T | 1.2 | 7\nC | D | T |  | 12\n", true},
      {"cut before a member's value",
       two + R"(,{"vendor":"C","name":"D","technology":"T","modifiedTime":)",
       "3 entries\nA | B | T | 1.2 | 7\nA | B | T | 1.2 | 7\nC | D | T |  | 0\n", true},
      {"cut inside a member's value", two + R"(,{"vendor":"C","name":"D)",
       "3 entries\nA | B | T | 1.2 | 7\nA | B | T | 1.2 | 7\nC |  |  |  | 0\n", true},
      {"cut inside an array element", two + R"(,["x")",
       "3 entries\nA | B | T | 1.2 | 7\nA | B | T | 1.2 | 7\n |  |  |  | 0\n", true},
      {"cut after a whole element", two + ",",
       "2 entries\nA | B | T | 1.2 | 7\nA | B | T | 1.2 | 7\n", false},
      {"cut inside a scalar element", two + R"(,"x)",
       "2 entries\nA | B | T | 1.2 | 7\nA | B | T | 1.2 | 7\n", false},
      {"comment after the second element", two + ",/* x */" + kFull + "]",
       "2 entries\nA | B | T | 1.2 | 7\nA | B | T | 1.2 | 7\n", false},
      {"non-UTF-8 byte in the fourth element",
       two + "," + kFull + R"(,{"vendor":"E","name":"caf)" + "\xE9" + R"("}])",
       "4 entries\nA | B | T | 1.2 | 7\nA | B | T | 1.2 | 7\nA | B | T | 1.2 | 7\n"
       "E |  |  |  | 0\n",
       true},
  };
  for (const Case& c : cases) {
    const ReadResult r = readText(c.text);
    EXPECT_EQ(r.console, failed() + c.echo) << c.what;
    EXPECT_EQ(r.outcome.topLevel, ReadOutcome::Value::kArray) << c.what;
    EXPECT_EQ(r.outcome.lastElementCut, c.cut) << c.what;
  }
}

TEST(ReadInventory, IgnoresByteOrderMarkAndTextAfterTheArray) {
  const std::string array = std::string("[") + kFull + "]";
  for (const std::string& text :
       {"\xEF\xBB\xBF" + array, array + "[1,2]", array + " garbage {"}) {
    EXPECT_EQ(readText(text).console, "1 entries\nA | B | T | 1.2 | 7\n") << text;
  }
}

TEST(ReadInventory, EchoesInFileOrderAndReturnsSortedEntries) {
  const ReadResult r = readText(R"([
    {"vendor":"b","name":"x","technology":"T","modifiedTime":1},
    {"vendor":"A","name":"x","technology":"T","modifiedTime":2,"version":"v"},
    {"vendor":"b","name":"x","technology":"T","modifiedTime":1}])");
  EXPECT_EQ(r.console,
            "3 entries\nb | x | T |  | 1\nA | x | T | v | 2\nb | x | T |  | 1\n");
  ASSERT_EQ(r.entries.size(), 3u);
  EXPECT_EQ(fields(r.entries[0]), "A|x|v|T|2");
  EXPECT_EQ(fields(r.entries[1]), "b|x||T|1");
  EXPECT_EQ(fields(r.entries[2]), "b|x||T|1");
}

TEST(ReadInventory, SurvivesHostileFiles) {
  const std::size_t depth = 100000;
  const std::string deep =
      std::string("[") + std::string(depth, '[') + std::string(depth, ']') + "]";
  // Short texts after a huge one go into storage of their own.
  const std::string hugeName = std::string(R"([{"vendor":"A","name":")") +
                               std::string(50u << 20, 'n') +
                               R"(","technology":"T"},{"vendor":"B","name":"short"}])";
  std::string garbage;
  for (unsigned i = 0; i < 4096; ++i)
    garbage += static_cast<char>((i * 7919u) >> 3);

  EXPECT_EQ(readText(deep).console, "1 entries\n |  |  |  | 0\n");
  EXPECT_EQ(readText(std::string("[") + std::string(depth, '{')).console,
            failed() + "1 entries\n |  |  |  | 0\n");
  const ReadResult huge = readText(hugeName);
  ASSERT_EQ(huge.entries.size(), 2u);
  EXPECT_EQ(huge.entries[0].name, std::string(50u << 20, 'n'));
  EXPECT_EQ(huge.entries[1].name, "short");
  EXPECT_EQ(readText("[" + garbage).console.substr(0, failed().size()), failed());
}

}  // namespace
}  // namespace vernatto::inventory
