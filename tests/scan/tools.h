// Fixtures that the scanner's tests build with the host's tools.
#pragma once

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

namespace vernatto::scan::testing {

inline const std::string kData = VERNATTO_SCAN_TEST_DATA;

// Runs `command` through the shell, its output thrown away unless redirected;
// true when it exits with status 0.
inline bool run(const std::string& command) {
  return std::system((command + " 2>/dev/null").c_str()) == 0;
}

// A fresh folder for one test's files.
inline std::string freshFolder(const std::string& name) {
  const std::string folder = ::testing::TempDir() + "vernatto-scan-" + name;
  EXPECT_TRUE(run("rm -rf '" + folder + "' && mkdir -p '" + folder + "'"));
  return folder;
}

inline std::string contentOf(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

}  // namespace vernatto::scan::testing
