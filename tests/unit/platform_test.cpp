#include <gtest/gtest.h>

#include <fstream>

#include "app/run.h"
#include "platform/platform.h"

namespace vernatto::platform {
namespace {

// The report goes beside the executable whenever argument 0 is a bare name,
// so the system's path must name this very program, in this platform's form.
TEST(Platform, ExecutablePathNamesTheRunningProgram) {
  const std::string path = executablePath();
  ASSERT_FALSE(path.empty());
  const std::string name = app::displayName(path, pathSeparator());
  EXPECT_EQ(name.rfind("vernatto_unit_tests", 0), 0u) << path;
  EXPECT_NE(name, path) << "no folder part in " << path;
  EXPECT_TRUE(std::ifstream(path, std::ios::binary).is_open()) << path;
}

}  // namespace
}  // namespace vernatto::platform
