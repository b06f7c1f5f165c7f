// Runs the fuzz target once on every file named on the command line, and on
// every file in every folder named there, so that the seed corpus and each
// input that ever crashed are replayed by every test run, with any compiler.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// Returns the files to replay, in a fixed order; a missing path is an error
// (an empty list), since a test that replays nothing proves nothing.
std::vector<fs::path> inputsOf(const std::vector<fs::path>& arguments) {
  std::vector<fs::path> inputs;
  for (const fs::path& argument : arguments) {
    if (!fs::exists(argument))
      return {};
    if (!fs::is_directory(argument)) {
      inputs.push_back(argument);
      continue;
    }
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(argument)) {
      // Dot files are the folder's own bookkeeping (.gitkeep), not inputs.
      if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    inputs.insert(inputs.end(), files.begin(), files.end());
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<fs::path> inputs = inputsOf({argv + 1, argv + argc});
  if (inputs.empty()) {
    std::fprintf(stderr, "usage: %s FILE_OR_FOLDER... (all must exist, not all empty)\n",
                 argv[0]);
    return 2;
  }
  for (const fs::path& input : inputs) {
    std::ifstream file(input, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file),
                            std::istreambuf_iterator<char>()};
    std::printf("%s\n", input.string().c_str());
    std::fflush(stdout);
    LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                           bytes.size());
  }
  std::printf("replayed %zu inputs\n", inputs.size());
  return 0;
}
