#include <gtest/gtest.h>

#include <fstream>
#include <ostream>
#include <vector>

#include "common/paths.h"
#include "platform/console_buffer.h"
#include "platform/platform.h"
#include "platform/posix.h"

namespace vernatto::platform {
namespace {

// The report goes beside the executable whenever argument 0 is a bare name,
// so the system's path must name this very program, in this platform's form.
TEST(Platform, ExecutablePathNamesTheRunningProgram) {
  const std::string path = executablePath();
  ASSERT_FALSE(path.empty());
  const std::string name = common::displayName(path, pathSeparator());
  EXPECT_EQ(name.rfind("vernatto_unit_tests", 0), 0u) << path;
  EXPECT_NE(name, path) << "no folder part in " << path;
  EXPECT_TRUE(std::ifstream(path, std::ios::binary).is_open()) << path;
}

// macOS keeps caches in ~/Library/Caches and knows no XDG_CACHE_HOME; the
// other POSIX systems take XDG_CACHE_HOME when it is absolute, else ~/.cache.
TEST(Platform, PosixCacheFolderFollowsEachSystemsConvention) {
  struct Case {
    SystemKind system;
    const char* xdgCacheHome;
    const char* home;
    const char* folder;
  };
  const Case cases[] = {
      {SystemKind::kLinux, "/x/cache", "/home/u", "/x/cache/vernatto"},
      {SystemKind::kLinux, "/x/cache//", nullptr, "/x/cache/vernatto"},
      {SystemKind::kLinux, "/", nullptr, "/vernatto"},
      {SystemKind::kLinux, "relative", "/home/u", "/home/u/.cache/vernatto"},
      {SystemKind::kLinux, "", "/home/u/", "/home/u/.cache/vernatto"},
      {SystemKind::kLinux, nullptr, "", ""},
      {SystemKind::kLinux, "relative", nullptr, ""},
      {SystemKind::kMacOS, "/x/cache", "/Users/u", "/Users/u/Library/Caches/vernatto"},
      {SystemKind::kMacOS, nullptr, "/Users/u/", "/Users/u/Library/Caches/vernatto"},
      {SystemKind::kMacOS, "/x/cache", "", ""},
      {SystemKind::kMacOS, nullptr, nullptr, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(posixCacheFolder(c.system, c.xdgCacheHome, c.home), c.folder)
        << static_cast<int>(c.system) << " "
        << (c.xdgCacheHome ? c.xdgCacheHome : "(unset)") << " "
        << (c.home ? c.home : "(unset)");
  }
}

// Each write is flushed on its own, as console lines are; the console must
// see whole characters whichever way the bytes were cut.
TEST(ConsoleBuffer, HandsOnWholeCharactersAndReplacesInvalidBytes) {
  struct Case {
    std::vector<std::string> writes;
    std::u16string shown;
  };
  const Case cases[] = {
      {{"Gr\xC3\xBCnwald\n"}, u"Gr\u00FCnwald\n"},
      {{"Gr\xC3", "\xBCnwald"}, u"Gr\u00FCnwald"},
      {{"\xE6", "\x97", "\xA5"}, u"\u65E5"},
      {{"\xF0\x9F", "\x8E\xB9!"}, u"\U0001F3B9!"},
      {{"a\xFF"
        "b\x80"},
       u"a\uFFFDb\uFFFD"},
      {{"\xC3(", "\xE6\x97x"}, u"\uFFFD(\uFFFDx"},
      {{"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80"}, std::u16string(9, u'\uFFFD')},
      {{"\xE6\x97"}, u"\uFFFD"},  // cut off for good by the end
      {{std::string(4095, 'a') + "\xC3\xBC"}, std::u16string(4095, u'a') + u"\u00FC"},
  };
  for (const Case& c : cases) {
    std::u16string shown;
    {
      ConsoleBuffer buffer([&shown](std::u16string_view text) {
        shown += text;
        return true;
      });
      std::ostream console(&buffer);
      for (const std::string& write : c.writes)
        console << write << std::flush;
    }
    EXPECT_EQ(shown, c.shown) << c.writes.front().substr(0, 8);
  }
}

TEST(ConsoleBuffer, ARefusedWriteFailsTheStream) {
  ConsoleBuffer buffer([](std::u16string_view) { return false; });
  std::ostream console(&buffer);
  console << "x" << std::flush;
  EXPECT_TRUE(console.bad());
}

}  // namespace
}  // namespace vernatto::platform
