#include "scan/elf.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools.h"

namespace vernatto::scan {
namespace {

using namespace vernatto::scan::testing;

// The defined dynamic symbols as nm lists them, without version suffixes.
std::vector<std::string> nmExports(const std::string& file) {
  std::istringstream listing(contentOf(file + ".nm"));
  std::vector<std::string> names;
  for (std::string address, type, name; listing >> address >> type >> name;)
    names.push_back(name.substr(0, name.find('@')));
  std::sort(names.begin(), names.end());
  return names;
}

// The four ELF flavours, built by the compilers at hand, and the plug-ins of
// Debian's dpf-plugins-vst when installed, each against nm's reading.
TEST(ElfExports, ListsTheDefinedDynamicSymbolsThatNmLists) {
  if (!run("nm --version >/dev/null"))
    GTEST_SKIP() << "nm (binutils) is the oracle of this test";
  const std::string folder = freshFolder("elf");
  const std::string source = kData + "/plugin.c";
  const std::string clang = "clang-14 -w -fuse-ld=lld -shared -nostdlib -fPIC --target=";
  std::vector<std::string> files;
  std::string missing;
  for (const auto& [name, compile] : std::vector<std::pair<std::string, std::string>>{
           {"64-little", "gcc -w -shared -fPIC"},
           {"32-little", "gcc -w -m32 -shared -nostdlib -fPIC"},
           {"32-big", clang + "powerpc-linux-gnu"},
           {"64-big", clang + "powerpc64-linux-gnu"}}) {
    if (run(compile + " -o " + folder + "/" + name + ".so " + source))
      files.push_back(folder + "/" + name + ".so");
    else
      missing += " " + name;
  }
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/usr/lib/vst", error)) {
    if (entry.path().extension() == ".so")
      files.push_back(entry.path().string());
  }
  for (const std::string& file : files) {
    ASSERT_TRUE(run("nm -D --defined-only " + file + " > " + folder + "/oracle.nm"));
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> exports{"kept"};
    std::string problem;
    ASSERT_TRUE(readElfExports(in, exports, problem)) << file << ": " << problem;
    EXPECT_EQ(exports.front(), "kept");
    exports.erase(exports.begin());
    std::sort(exports.begin(), exports.end());
    EXPECT_EQ(exports, nmExports(folder + "/oracle")) << file;
    EXPECT_TRUE(std::binary_search(exports.begin(), exports.end(), "main")) << file;
  }
  // Its section headers come last, so a shared object cut short is refused,
  // as is what is no ELF file of a known class.
  const std::string whole = contentOf(folder + "/64-little.so");
  std::vector<std::string> refused{"", std::string("\177ELF\3\1", 6) + std::string(60, 0),
                                   std::string("\177ELF\2\1", 6) + std::string(60, 0)};
  for (std::size_t size = 64; size < whole.size(); size += whole.size() / 7)
    refused.push_back(whole.substr(0, size));
  for (const std::string& bytes : refused) {
    std::istringstream in(bytes);
    std::vector<std::string> exports;
    std::string problem;
    EXPECT_FALSE(readElfExports(in, exports, problem)) << bytes.size();
    EXPECT_TRUE(exports.empty() && !problem.empty()) << bytes.size();
  }
  if (!missing.empty())
    GTEST_SKIP() << "compiler or linker missing for these flavours:" << missing;
}

}  // namespace
}  // namespace vernatto::scan
