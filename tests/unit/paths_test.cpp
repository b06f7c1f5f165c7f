#include <gtest/gtest.h>

#include "common/paths.h"

namespace vernatto::common {
namespace {

TEST(Paths, SplitOnTheGivenSeparatorOnly) {
  struct Case {
    const char* path;
    char separator;
    const char* folder;
    const char* display;
  };
  const Case cases[] = {
      {"C:\\Tools\\app.exe", '\\', "C:\\Tools\\", "app.exe"},
      {"D:/scan/a.json", '\\', "D:/scan/a.json\\", "D:/scan/a.json"},
      {"D:\\scan\\", '\\', "D:\\scan\\", ""},
      {"", '\\', "\\", ""},
      {"app.exe", '\\', "app.exe\\", "app.exe"},
      {"/usr/bin/vernatto", '/', "/usr/bin/", "vernatto"},
      {"dir\\a.json", '/', "dir\\a.json/", "dir\\a.json"},
      {"/a.json", '/', "/", "a.json"},
      {"scan/", '/', "scan/", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(folderOf(c.path, c.separator), c.folder) << c.path;
    EXPECT_EQ(displayName(c.path, c.separator), c.display) << c.path;
  }
}

TEST(Paths, ExecutableFolderTakesTheSystemPathOnlyForABareName) {
  struct Case {
    const char* arg0;
    const char* osPath;
    char separator;
    const char* folder;
  };
  const Case cases[] = {
      {"./vernatto", "/opt/v/vernatto", '/', "./"},
      {"vernatto", "/opt/v/vernatto", '/', "/opt/v/"},
      {"", "/opt/v/vernatto", '/', "/opt/v/"},
      {"vernatto", "", '/', "vernatto/"},
      {"C:/Tools/app.exe", "C:\\Tools\\app.exe", '\\', "C:\\Tools\\"},
      {"C:\\Tools\\app.exe", "Z:\\other\\app.exe", '\\', "C:\\Tools\\"},
      {"", "", '\\', "\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(executableFolder(c.arg0, c.osPath, c.separator), c.folder) << c.arg0;
  }
}

}  // namespace
}  // namespace vernatto::common
