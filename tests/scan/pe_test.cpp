#include "scan/pe.h"

#include <cctype>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools.h"

namespace vernatto::scan {
namespace {

using namespace vernatto::scan::testing;

// The text of a quoted rc string as windres writes it (octal and \x escapes
// of UTF-16 code units), in UTF-8.
std::string rcText(const std::string& s) {
  std::vector<unsigned long> units;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const bool hex = s[i] == '\\' && s[i + 1] == 'x';
    const bool octal = s[i] == '\\' && std::isdigit(static_cast<unsigned char>(s[i + 1]));
    units.push_back(hex     ? std::stoul(s.substr(i + 2, 4), nullptr, 16)
                    : octal ? std::stoul(s.substr(i + 1, 3), nullptr, 8)
                            : static_cast<unsigned char>(s[i += s[i] == '\\']));
    i += hex ? 5 : octal ? 3 : 0;
  }
  std::string out;
  for (std::size_t i = 0; i < units.size(); ++i) {
    unsigned long c = units[i];
    if (c >= 0xD800 && c < 0xDC00)
      c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
    const int extra = c < 0x80 ? 0 : c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
    out += static_cast<char>(
        extra == 0 ? c : (0xFF00 >> (extra + 1) & 0xFF) | (c >> (6 * extra)));
    for (int k = extra - 1; k >= 0; --k)
      out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
  }
  return out;
}

// The VALUEs of string table `table` and the FILEVERSION in windres's
// decompiled resources of `dll`.
std::map<std::string, std::string> oracle(const std::string& dll,
                                          const std::string& table) {
  std::istringstream rc(contentOf(dll + ".rc"));
  std::map<std::string, std::string> values;
  bool inTable = false;
  for (std::string line; std::getline(rc, line);) {
    if (line.find("FILEVERSION ") != std::string::npos)
      values["fixed"] = normaliseVersion(line.substr(line.find("FILEVERSION ") + 12));
    if (line.find("BLOCK \"") != std::string::npos)
      inTable = line.find("\"" + table + "\"") != std::string::npos;
    const std::size_t value = line.find("VALUE \"");  // VALUE "Key", L"Text"
    if (inTable && value != std::string::npos) {
      const std::size_t key = value + 7, keyEnd = line.find('"', key);
      const std::size_t text = line.find('"', keyEnd + 1) + 1;
      values[line.substr(key, keyEnd - key)] =
          rcText(line.substr(text, line.rfind('"') - text));
    }
  }
  return values;
}

TEST(PeImage, ReadsExportsAndTheStringTableThatWindresDecompiles) {
  const std::string tools = "x86_64-w64-mingw32-";
  if (!run(tools + "gcc --version >/dev/null") ||
      !run(tools + "windres --version >/dev/null"))
    GTEST_SKIP() << "MinGW-w64 gcc and windres are needed to build the test DLLs";
  const std::string folder = freshFolder("pe");
  const struct {
    std::string name, defines;
    bool pe32;
    std::string table;  // the string table to read, as windres prints its name
  } cases[] = {
      {"translation", "-DTRANSLATION=0x407,1200", false, "040704b0"},
      {"pe32", "-DTRANSLATION=0x407,1200", true, "040704b0"},
      {"unlisted-translation", "-DTRANSLATION=0x40C,1252", false, "040904B0"},
      {"second-translation", "-DTRANSLATION=0x40C,1252,0x407,1200", false, "040704b0"},
      {"no-english", "-DNO_ENGLISH", false, "040704b0"},
      {"english-resource", "-DTRANSLATION=0x409,1200 -DALSO_GERMAN", false, "040904B0"},
      {"no-resource", "", false, ""},
  };
  for (const auto& c : cases) {
    const std::string dll = folder + "/" + c.name + ".dll";
    const std::string rc = c.table.empty() ? "" : dll + ".o";
    ASSERT_TRUE(rc.empty() || run(tools + "windres " + c.defines + " " + kData +
                                  "/version.rc -O coff -o " + rc));
    ASSERT_TRUE(
        run(tools + "gcc -w -s -shared -o " + dll + " " + kData + "/plugin.c " + rc));
    ASSERT_TRUE(!c.pe32 || run(tools + "objcopy -O pei-i386 " + dll + " " + dll));
    run(tools + "windres -i " + dll + " -O rc -o " + dll + ".rc");
    std::map<std::string, std::string> expected = oracle(dll, c.table);
    std::ifstream in(dll, std::ios::binary);
    PeImage image;
    std::string problem;
    ASSERT_TRUE(readPeImage(in, image, problem)) << c.name << ": " << problem;
    EXPECT_EQ(problem, "") << c.name;
    EXPECT_EQ(image.exports,
              (std::vector<std::string>{"VSTPluginMain", "main", "weakHook"}));
    EXPECT_EQ(image.hasVersion, !c.table.empty()) << c.name;
    EXPECT_EQ(image.version.companyName, expected["CompanyName"]) << c.name;
    EXPECT_EQ(image.version.productName, expected["ProductName"]) << c.name;
    EXPECT_EQ(image.version.fileDescription, expected["FileDescription"]) << c.name;
    EXPECT_EQ(image.version.productVersion, expected["ProductVersion"]) << c.name;
    EXPECT_EQ(image.version.fileVersion, expected["FileVersion"]) << c.name;
    EXPECT_EQ(image.version.fixedFileVersion, expected["fixed"]) << c.name;
  }
  // Cut short after its headers, a binary still reads, saying what it lost.
  std::istringstream in(contentOf(folder + "/translation.dll").substr(0, 1024));
  PeImage image;
  std::string problem;
  EXPECT_TRUE(readPeImage(in, image, problem));
  EXPECT_TRUE(image.exports.empty() && !image.hasVersion);
  EXPECT_NE(problem.find("export"), std::string::npos) << problem;
  EXPECT_NE(problem.find("resource"), std::string::npos) << problem;
}

// What cannot be a Windows binary is refused.
TEST(PeImage, RefusesNonImages) {
  const std::string headerOnly = std::string("MZ") + std::string(58, '\0') + "\x40" +
                                 std::string(3, '\0') + std::string("PE\0\0", 4);
  for (const std::string& bytes :
       {std::string(), std::string("MZ"), std::string("\177ELF"), headerOnly,
        headerOnly + std::string(20, '\0')}) {
    std::istringstream in(bytes);
    PeImage image;
    std::string problem;
    EXPECT_FALSE(readPeImage(in, image, problem)) << bytes.size();
    EXPECT_NE(problem, "");
  }
}

TEST(PeImage, NormalisesCommaSeparatedVersions) {
  const std::pair<std::string, std::string> cases[] = {
      {"1, 4, 2, 0", "1.4.2.0"},
      {" 1,4,2,0 \t", "1.4.2.0"},
      {"7", "7"},
      {"  2.0 beta ", "2.0 beta"},
      {"1, 4, beta", "1, 4, beta"},
      {"1,,2", "1,,2"},
      {"", ""},
      {"  ", ""},
      {"1.0, 2", "1.0, 2"},
  };
  for (const auto& [written, normal] : cases)
    EXPECT_EQ(normaliseVersion(written), normal) << written;
}

}  // namespace
}  // namespace vernatto::scan
