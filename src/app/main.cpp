#include <iostream>
#include <string>
#include <vector>

#include "app/run.h"

int main(int argc, char** argv) {
  // The console goes through the C++ streams only. Unsynchronized, they write
  // a line with one system call at its flush instead of one library call per
  // piece; standard error stays tied to standard output, so it still follows
  // whatever was written before it.
  std::ios::sync_with_stdio(false);
  return vernatto::app::run(std::vector<std::string>(argv, argv + argc), std::cout,
                            std::cerr);
}
