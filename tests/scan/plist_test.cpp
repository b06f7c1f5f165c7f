#include "scan/plist.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tools.h"

namespace vernatto::scan {
namespace {

using namespace vernatto::scan::testing;

// Each fixture is read as written (XML) and as plistutil converts it (binary).
TEST(InfoPlist, ReadsBundleMembersAndAudioComponentsInBothForms) {
  const bool haveConverter = run("plistutil -h >/dev/null");
  const std::string folder = freshFolder("plist");
  const struct {
    std::string file;
    BundleInfo expected;
  } cases[] = {
      {"component.plist",
       {"Kestrel Comp",
        "",
        "Kestrel",
        {{"Fjord Works: Kestrel Compressor \xE2\x80\x93 Stereo", true, 0x020205},
         {"Fjord Works: Kestrel & Mono", false, 0}}}},
      {"bundle.plist", {"Loess D\xC3\xA9lai", "2.0.1", "Loess", {}}},
  };
  for (const auto& c : cases) {
    const std::string binary = folder + "/" + c.file + ".bin";
    std::vector<std::string> forms{contentOf(kData + "/" + c.file)};
    if (haveConverter &&
        run("plistutil -f bin -i " + kData + "/" + c.file + " -o " + binary))
      forms.push_back(contentOf(binary));
    for (const std::string& bytes : forms) {
      BundleInfo info;
      std::string problem;
      ASSERT_TRUE(readInfoPlist(bytes, info, problem)) << c.file << ": " << problem;
      EXPECT_EQ(info.bundleName, c.expected.bundleName) << c.file;
      EXPECT_EQ(info.shortVersion, c.expected.shortVersion) << c.file;
      EXPECT_EQ(info.executable, c.expected.executable) << c.file;
      ASSERT_EQ(info.audioComponents.size(), c.expected.audioComponents.size()) << c.file;
      for (std::size_t i = 0; i < info.audioComponents.size(); ++i) {
        const AudioComponent& got = info.audioComponents[i];
        const AudioComponent& want = c.expected.audioComponents[i];
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.hasVersion, want.hasVersion) << want.name;
        EXPECT_EQ(got.version, want.version) << want.name;
      }
    }
    if (!haveConverter)
      GTEST_SKIP() << "plistutil (libplist-utils) is needed for the binary forms";
  }
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
