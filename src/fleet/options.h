// The fleet program's command line.
#pragma once

#include <string>
#include <vector>

namespace vernatto::fleet {

struct Options {
  std::vector<std::string> inventories;  // files and folders, in the order given
  std::string reference;                 // a machine's name, or empty
  std::string html;                      // output files; "-" is standard output
  std::string csv;
  std::string json;
  bool open = false;
  bool all = false;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name. Returns false, with `problem`
// holding one line, for an unknown option, a missing value, "-" for more than
// one output, or --open without a page written to a file. The number of
// inventories is checked once folders are expanded.
bool parseOptions(const std::vector<std::string>& args, Options& options,
                  std::string& problem);

// The text --help prints, ending in a newline.
std::string usageText();

}  // namespace vernatto::fleet
