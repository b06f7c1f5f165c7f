// The least work any fleet run on the same files must do, as a yardstick for
// vernatto-fleet's own time and memory:
//   fleet_floor FOLDER
// reads every *.json file directly inside FOLDER, in byte order of the names,
// with the program's own reader, and keeps every inventory in memory until
// the end. Prints how many files and entries it read.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "inventory/inventory.h"

namespace fs = std::filesystem;

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fleet_floor FOLDER\n");
    return 2;
  }
  std::vector<fs::path> files;
  for (const fs::directory_entry& file : fs::directory_iterator(argv[1])) {
    if (file.path().extension() == ".json" && file.is_regular_file())
      files.push_back(file.path());
  }
  std::sort(files.begin(), files.end());

  std::vector<vernatto::inventory::Inventory> inventories(files.size());
  std::size_t entries = 0;
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::ifstream in(files[i], std::ios::binary);
    vernatto::inventory::readEntries(in, inventories[i]);
    entries += inventories[i].size();
  }
  std::printf("%zu files, %zu entries\n", files.size(), entries);
  return 0;
}
