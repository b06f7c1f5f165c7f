// The program's event-driven reader must give exactly what the document-based
// reader gives: the same console lines and the same inventory, on every file,
// well-formed or not. Each case hands both readers the same bytes.
#include <cstdint>
#include <cstdio>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "inventory/inventory.h"
#include "oracle/document_reader.h"

namespace vernatto {
namespace {

using inventory::Inventory;

struct Reading {
  std::string console;
  Inventory entries;
};

class ReaderOracleTest : public ::testing::Test {
 protected:
  // Reads `content` with both readers and reports any difference, naming
  // `label` and showing the file.
  void expectSameReading(const std::string& content, const std::string& label) {
    const Reading expected = readWith(content, true);
    const Reading actual = readWith(content, false);
    EXPECT_EQ(actual.console, expected.console) << label << "\nfile: " << shown(content);
    EXPECT_TRUE(actual.entries == expected.entries)
        << label << "\nfile: " << shown(content);
  }

 private:
  static Reading readWith(const std::string& content, bool byDocument) {
    Reading reading;
    std::istringstream in(content);
    std::ostringstream out;
    if (byDocument) {
      oracle::readInventoryByDocument(in, "inventory.json", reading.entries, out);
    } else {
      inventory::readInventory(in, "inventory.json", reading.entries, out);
    }
    reading.console = out.str();
    return reading;
  }

  static std::string shown(const std::string& content) {
    std::string text;
    for (char byte : content.substr(0, 400)) {
      const auto c = static_cast<unsigned char>(byte);
      if (c >= 0x20 && c < 0x7f) {
        text += static_cast<char>(c);
      } else {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", c);
        text += hex;
      }
    }
    return content.size() > 400 ? text + "..." : text;
  }
};

const std::string kFull =
    R"({"vendor":"A","name":"B","technology":"T","modifiedTime":7,"version":"1.2"})";

// Every kind of file the reader must survive, grouped by what goes wrong.
TEST_F(ReaderOracleTest, FailureTableRowsReadAlike) {
  const std::vector<std::string> files = {
      // Not JSON, or not an array at the top.
      "",
      " \n\t ",
      "/* c */ []",
      std::string("\xff\xfe[\x00]\x00", 6),
      "\xef\xbb\xbf[" + kFull + "]",
      "\xef\xbb",
      "{\"a\": [" + kFull,
      "{\"entries\": [" + kFull + "]}",
      "\"text\"",
      "42",
      "null",
      "true",
      "[]",
      "[] [1]",
      "[" + kFull + "] garbage",
      // Cut off or broken inside the array.
      "[",
      "[" + kFull,
      "[" + kFull + ",",
      "[" + kFull + "," + kFull + " /* c */]",
      "[" + kFull + ",{\"vendor\":\"A\",\"name\":\"B\"",
      "[{\"vendor\":\"A\",\"name\":",
      "[{\"vendor\":\"A\",\"name\":\"B",
      "[{\"vendor\":\"A\",\"name\":\"B\xe9\"}]",
      "[1, tr",
      "[1, true",
      "[[1, {\"vendor\": \"x\"",
      "[{\"vendor\": {\"v\": \"x\"",
      "[{\"vendor\":\"A\",\"name\":\"B\",\"technology\":\"T\",\"modifiedTime\":1e400}]",
      // Elements that are no entry objects.
      "[1, \"s\", null, true, [], {}, [{\"vendor\":\"A\"}]]",
      // Missing members and wrong types, one member at a time.
      R"([{"name":"B","technology":"T","modifiedTime":7}])",
      R"([{"vendor":5,"name":"B","technology":"T","modifiedTime":7}])",
      R"([{"vendor":"A","technology":"T","modifiedTime":7,"version":"1"}])",
      R"([{"vendor":"A","name":null,"technology":"T","modifiedTime":7}])",
      R"([{"vendor":"A","name":"B","modifiedTime":7,"version":"1"}])",
      R"([{"vendor":"A","name":"B","technology":["T"],"modifiedTime":7}])",
      R"([{"vendor":"A","name":"B","technology":"T","version":"1"}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":"7","version":"1"}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":true}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":null}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":7,"version":null}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":7,"version":2}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":7,"version":{}}])",
      // Times: every kind of number, and numbers that do not fit.
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":1.9}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":2e3}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":-1}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":-0.5}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":-1.5}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":18446744073709551615}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":18446744073709551616}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":-9223372036854775808}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":1e300}])",
      // Repeated keys: the last complete value wins.
      R"([{"vendor":"A","vendor":"Z","name":"B","technology":"T","modifiedTime":7}])",
      R"([{"vendor":"A","vendor":5,"name":"B","technology":"T","modifiedTime":7}])",
      R"([{"vendor":5,"vendor":"A","name":"B","technology":"T","modifiedTime":7}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":7,"modifiedTime":"x"}])",
      R"([{"vendor":"A","name":"B","technology":"T","version":"1","modifiedTime":7,"version":null}])",
      "[{\"vendor\":\"A\",\"name\":\"B\",\"technology\":\"T\",\"modifiedTime\":7,"
      "\"modifiedTime\":",
      "[{\"vendor\":\"A\",\"name\":\"B\",\"technology\":\"T\",\"modifiedTime\":7,"
      "\"modifiedTime\":[",
      "[{\"vendor\":\"A\",\"name\":\"B\",\"technology\":\"T\",\"modifiedTime\":7,"
      "\"version\":\"1\",\"version\":\"2",
      "[{\"vendor\":\"A\",\"name\":\"B\",\"technology\":\"T\",\"modifiedTime\":7,"
      "\"version\":\"1\",\"version\":{\"a\":",
      // Nested values only count by their kind, even when they look like entries.
      R"([{"x":{"vendor":"N","name":"N"},"vendor":"A","name":"B","technology":"T","modifiedTime":7}])",
      R"([{"vendor":"A","name":"B","technology":"T","modifiedTime":7,"extra":[{"version":"9"}]}])",
      // Texts with escapes, control characters and bytes above 0x7f.
      R"([{"vendor":"A\u0000\"\\","name":"\u00e9\ud83c\udfb5","technology":"T","modifiedTime":7}])",
      "[{\"vendor\":\"\xc3\xa9\",\"name\":\"B\",\"technology\":\"T\",\"modifiedTime\":7}"
      "]",
  };
  for (std::size_t i = 0; i < files.size(); ++i)
    expectSameReading(files[i], "case " + std::to_string(i));
}

TEST_F(ReaderOracleTest, MissingFileReadsAlike) {
  const std::string path = "no/such/folder/inventory.json";
  Inventory entries;
  std::ostringstream actual;
  inventory::readInventory(path, entries, actual);
  Inventory expectedEntries;
  std::ostringstream expected;
  oracle::readInventoryByDocument(path, expectedEntries, expected);
  EXPECT_EQ(actual.str(), expected.str());
  EXPECT_TRUE(entries.empty());
}

// Random files made of entry-like pieces: repeated keys, nested values, wrong
// types, broken bytes and cuts, in any mix.
class PieceGenerator {
 public:
  explicit PieceGenerator(std::uint64_t seed) : random_(seed) {}

  std::string file() {
    std::string text = pick(4) == 0 ? "\xef\xbb\xbf[" : "[";
    const std::size_t elements = pick(5);
    for (std::size_t i = 0; i < elements; ++i) {
      if (i > 0)
        text += ',';
      text += pick(6) == 0 ? value(1) : element();
    }
    if (pick(3) != 0)
      text += ']';
    if (pick(4) == 0)
      text.resize(pick(text.size() + 1));  // cut anywhere
    if (pick(6) == 0 && !text.empty())
      text[pick(text.size())] = static_cast<char>(0x80 + pick(0x80));  // a bad byte
    return text;
  }

 private:
  std::size_t pick(std::size_t bound) { return random_() % bound; }

  std::string element() {
    static const std::vector<std::string> keys = {
        "vendor", "name", "technology", "modifiedTime", "version", "other", "Vendor"};
    std::string text = "{";
    const std::size_t members = pick(9);
    for (std::size_t i = 0; i < members; ++i) {
      if (i > 0)
        text += ',';
      text += '"' + keys[pick(keys.size())] + "\":" + value(0);
    }
    return text + '}';
  }

  std::string value(int depth) {
    static const std::vector<std::string> scalars = {"\"A\"",
                                                     "\"b\"",
                                                     "\"\"",
                                                     "\"\\u00e9x\"",
                                                     "\"\xc3\xa9\"",
                                                     "null",
                                                     "true",
                                                     "false",
                                                     "0",
                                                     "7",
                                                     "-1",
                                                     "1.9",
                                                     "2e3",
                                                     "-2.5",
                                                     "1e19",
                                                     "1e20",
                                                     "-0.0",
                                                     "18446744073709551615",
                                                     "18446744073709551616",
                                                     "-9223372036854775809"};
    const std::size_t kind = pick(depth > 2 ? 1 : 8);
    if (kind == 6)
      return "[" + value(depth + 1) + "," + value(depth + 1) + "]";
    if (kind == 7)
      return "{\"vendor\":" + value(depth + 1) + ",\"k\":" + value(depth + 1) + "}";
    return scalars[pick(scalars.size())];
  }

  std::mt19937_64 random_;
};

TEST_F(ReaderOracleTest, GeneratedFilesReadAlike) {
  PieceGenerator generator(20240601);
  for (int i = 0; i < 3000; ++i)
    expectSameReading(generator.file(), "generated file " + std::to_string(i));
}

// Cutting a valid file at every byte offset exercises every partial state of
// every kind of element and member.
TEST_F(ReaderOracleTest, ValidFilesCutAtEveryByteReadAlike) {
  const std::vector<std::string> files = {
      "[" + kFull +
          ",{\"vendor\":\"V\",\"name\":\"N\",\"technology\":\"AU\","
          "\"modifiedTime\":-1.5e0,\"version\":null}, 3, [1, {\"a\":[]}]]",
      "\xef\xbb\xbf[{\"version\":\"1\",\"modifiedTime\":1.9,\"technology\":\"T\","
      "\"name\":\"\\u00e9\",\"vendor\":\"A\",\"vendor\":{\"x\":[\"y\"]},"
      "\"vendor\":\"B\",\"modifiedTime\":18446744073709551615}, {}]",
  };
  for (const std::string& file : files) {
    for (std::size_t cut = 0; cut <= file.size(); ++cut)
      expectSameReading(file.substr(0, cut), "cut at " + std::to_string(cut));
  }
}

}  // namespace
}  // namespace vernatto
