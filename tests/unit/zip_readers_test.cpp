#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "daw/format.h"
#include "daw/readers.h"
#include "daw/zip.h"

namespace vernatto::daw {
namespace {

std::string fixture(const std::string& name) {
  std::ifstream in(std::string(VERNATTO_TEST_DATA) + "/projects/" + name,
                   std::ios::binary);
  EXPECT_TRUE(in.is_open()) << name;
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(ProjectFormat, ToldByContentWithTheNameOnlyAsAHint) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string prolog = "<?xml version='1.0'?>\n<!-- <Session> -->\n";
  struct Case {
    std::string content;
    std::string name;
    std::string_view format;
  };
  const Case cases[] = {
      {"", "empty.rpp", ""},
      {"\x1F\x8B\x08", "", "live"},
      {bom + prolog + "<Ableton MajorVersion='5'>", "", "live"},
      {prolog + "<!DOCTYPE x [<!ENTITY e 'x>'>]>\n<Session version='3000'>", "",
       "ardour"},
      {"<?xml?><!DOCTYPE CARLA-PROJECT>\n<CARLA-PROJECT VERSION='2.0'>", "", "carla"},
      {"<!DOCTYPE lmms-project><lmms-project version='1.0'/>", "", "lmms"},
      {"<Project version=\"1.0\">", "", "dawproject"},
      {"<Projects>", "x.dawproject", ""},
      {prolog + "<!-- never closed", "", ""},
      {bom + "\r\n<REAPER_PROJECT 0.1 \"7.0\"", "", "reaper"},
      {bom + "SESSION NAME:\tMix\n", "", "pro-tools-text"},
      {"SESSION NAME\n", "", ""},
      {std::string("RIFF\0\0\0\x1ANUNDROOT", 16), "", "cubase"},
      {std::string("RIFF\0\0\0\x04WAVE", 12), "", ""},
      {std::string("RIFF\0\0\0\x04WAVE", 12), "Song.CPR", "cubase"},
      {"RIFF", "", ""},
      {fixture("compressed.mmpz"), "", "lmms"},
      {std::string("\0\0\0\x10\x78\x9C\xFF\xFF", 8), "", ""},
      {std::string("\0\0\0\x10\x78\x9C\xFF\xFF", 8), "x.MMPZ", "lmms"},
      {fixture("plugins.dawproject"), "", "dawproject"},
      {fixture("plugins.song"), "", "studio-one"},
      {fixture("other.zip"), "", ""},
      {fixture("other.zip"), "other.song", "studio-one"},
      {fixture("cut.dawproject"), "", ""},
      {fixture("cut.dawproject"), "cut.dawproject", "dawproject"},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.content);
    EXPECT_EQ(formatOf(in, c.name), c.format)
        << c.content.substr(0, 60) << " named " << c.name;
    EXPECT_EQ(in.tellg(), 0);
  }
}

// Strangers' archives: every fault is the reading's first problem, however
// far the XML beyond it got.
TEST(ZipArchive, MembersThatLieOrCannotBeReadFailTheReading) {
  struct Case {
    std::string file;
    std::string problem;
    std::size_t kept = 0;                // references read before the fault
    std::uint64_t limit = kMaxInflated;  // below it, read the member alone
  };
  const Case cases[] = {
      {"longer.dawproject", "project.xml holds 1898 bytes where its header says 2898", 7},
      {"shorter.dawproject", "project.xml fails its CRC check", 7},
      {"crc.dawproject", "project.xml fails its CRC check", 7},
      {"garbled.dawproject", "project.xml is damaged or cut off after 0 bytes"},
      {"encrypted.dawproject", "project.xml is encrypted"},
      {"packed.dawproject", "project.xml's sizes in the archive are impossible"},
      {"bzip2.dawproject", "project.xml is compressed with method 12, which is not read"},
      {"cut.dawproject", "not a readable zip archive"},
      {"huge.dawproject",
       "project.xml is too large: it inflates to 5368709120 bytes, past 4294967296"},
      {"other.zip", "holds no project.xml"},
      {"bomb.dawproject",
       "project.xml is too large: it inflates to 1048576 bytes, past 100000", 0, 100000},
  };
  for (const Case& c : cases) {
    std::istringstream in(fixture(c.file));
    ProjectReading reading;
    if (c.limit == kMaxInflated) {
      readProject(in, "dawproject", reading);
    } else {
      ZipArchive zip(in);
      reading.fail(zip.open("project.xml", c.limit)->problem());
    }
    EXPECT_FALSE(reading.complete) << c.file;
    EXPECT_EQ(reading.references.size(), c.kept) << c.file;
    EXPECT_NE(reading.problem.find(c.problem), std::string::npos) << reading.problem;
  }
}

std::vector<std::string> listed(const std::string& file) {
  std::istringstream in(fixture(file));
  ProjectReading reading;
  readProject(in, formatOf(in, file), reading);
  EXPECT_TRUE(reading.complete) << file << ": " << reading.problem;
  std::vector<std::string> lines;
  for (const Reference& r : reading.references.sorted())
    lines.push_back(r.technology + "|" + r.vendor + "|" + r.name + "|" + r.id + "|" +
                    r.file + "|" + r.version + "|" + std::to_string(r.instances));
  return lines;
}

// Each file's expected listing is its .expected fixture.
TEST(ZipReaders, ListWhatDawprojectsAndSongsUse) {
  for (const char* file : {"dawproject.project.xml", "plugins.dawproject",
                           "dawproject-readme-example.project.xml", "plugins.song"}) {
    std::istringstream expected(fixture(file + std::string(".expected")));
    std::vector<std::string> lines;
    for (std::string line; std::getline(expected, line);)
      lines.push_back(line);
    EXPECT_EQ(listed(file), lines) << file;
  }
}

}  // namespace
}  // namespace vernatto::daw
