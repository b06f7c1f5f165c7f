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

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

// Takes every event and keeps nothing.
struct NullHandler {
  bool null() { return true; }
  bool boolean(bool) { return true; }
  bool number_integer(json::number_integer_t) { return true; }
  bool number_unsigned(json::number_unsigned_t) { return true; }
  bool number_float(json::number_float_t, const json::string_t&) { return true; }
  bool string(json::string_t&) { return true; }
  bool binary(json::binary_t&) { return true; }
  bool start_object(std::size_t) { return true; }
  bool key(json::string_t&) { return true; }
  bool end_object() { return true; }
  bool start_array(std::size_t) { return true; }
  bool end_array() { return true; }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
    return false;
  }
};

bool parse(const char* path) {
  std::ifstream file(path);
  NullHandler handler;
  return json::sax_parse(file, &handler, json::input_format_t::json, false, false);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: floor FIRST.json SECOND.json CONSOLE.txt\n";
    return 2;
  }
  std::ios::sync_with_stdio(false);
  if (!parse(argv[1]) || !parse(argv[2]))
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
