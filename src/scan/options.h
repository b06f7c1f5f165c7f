// The scanner's command line.
#pragma once

#include <string>
#include <vector>

namespace vernatto::scan {

struct Options {
  std::string output;              // empty or "-": standard output
  std::vector<std::string> paths;  // --path folders, in the order given
  bool defaultPaths = true;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name: -o/--output FILE (also
// --output=FILE and -oFILE), --path DIR (repeatable, also --path=DIR),
// --no-default-paths, --help/-h, --version. Returns false, with `problem`
// holding one line that says what is wrong, for an unknown option, a missing
// value or an operand.
bool parseOptions(const std::vector<std::string>& args, Options& options,
                  std::string& problem);

// The text --help prints, ending in a newline.
std::string usageText();

}  // namespace vernatto::scan
