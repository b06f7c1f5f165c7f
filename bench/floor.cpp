// The least work any run on the same files must do, as a yardstick for the
// program's own time:
//   floor FIRST.json SECOND.json CONSOLE.txt
// parses both inventories with the same parser and no handler work, then
// copies CONSOLE.txt (the program's console output) to standard output line
// by line, with one flush per line as the program does.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "parse_only.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: floor FIRST.json SECOND.json CONSOLE.txt\n";
    return 2;
  }
  std::ios::sync_with_stdio(false);
  if (!vernatto::bench::parseOnly(argv[1]) || !vernatto::bench::parseOnly(argv[2]))
    std::cerr << "an inventory did not parse\n";

  std::ifstream console(argv[3], std::ios::binary);
  std::string line;
  while (std::getline(console, line)) {
    std::cout.write(line.data(), static_cast<std::streamsize>(line.size()));
    std::cout.put('\n');
    std::cout.flush();
  }
  return 0;
}
