#include "scan/plist.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools.h"

namespace vernatto::scan {
namespace {

using namespace vernatto::scan::testing;

// What was read, members split by '|', a component's version after '@',
// its codes after '='.
std::string describe(const BundleInfo& info) {
  std::string text = info.bundleName + "|" + info.shortVersion + "|" + info.executable;
  for (const AudioComponent& component : info.audioComponents)
    text += "|" + component.name +
            (component.hasVersion ? "@" + std::to_string(component.version) : "") + "=" +
            component.type + "," + component.subtype + "," + component.manufacturer;
  return text;
}

// Each fixture is read as written (XML) and as plistutil converts it (binary).
TEST(InfoPlist, ReadsBundleMembersAndAudioComponentsInBothForms) {
  const bool haveConverter = run("plistutil -h >/dev/null");
  const std::string folder = freshFolder("plist");
  const std::pair<std::string, std::string> cases[] = {
      // 131589 is 0x020205, version 2.2.5; CFBundleShortVersionString is no text.
      {"component.plist",
       "Kestrel Comp||Kestrel|Fjord Works: Kestrel Compressor \xE2\x80\x93 Stereo@131589"
       "=aufx,Kst2,Fjrd|Fjord Works: Kestrel & Mono=,,"},
      {"bundle.plist", "Loess D\xC3\xA9lai|2.0.1|Loess"},
  };
  for (const auto& [file, expected] : cases) {
    const std::string binary = folder + "/" + file + ".bin";
    std::vector<std::string> forms{contentOf(kData + "/" + file)};
    if (haveConverter &&
        run("plistutil -f bin -i " + kData + "/" + file + " -o " + binary))
      forms.push_back(contentOf(binary));
    for (const std::string& bytes : forms) {
      BundleInfo info;
      std::string problem;
      EXPECT_TRUE(readInfoPlist(bytes, info, problem)) << file << ": " << problem;
      EXPECT_EQ(describe(info), expected) << file << (bytes[0] == 'b' ? " (binary)" : "");
    }
  }
  if (!haveConverter)
    GTEST_SKIP() << "plistutil (libplist-utils) is needed for the binary forms";
}

TEST(InfoPlist, RefusesWhatIsNoDictionary) {
  for (const char* bytes :
       {"", "not a plist", "<plist><array><string>x</string></array></plist>", "bplist00",
        "<?xml version=\"1.0\"?><plist><dict><key>a</key>"}) {
    BundleInfo info;
    std::string problem;
    EXPECT_FALSE(readInfoPlist(bytes, info, problem)) << bytes;
    EXPECT_NE(problem, "") << bytes;
  }
}

}  // namespace
}  // namespace vernatto::scan
