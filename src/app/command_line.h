// The command-line conventions that every program of the project shares.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vernatto::app {

// One option a program takes.
struct OptionSpec {
  std::string_view name;       // "--output"
  std::string_view shortName;  // "-o", or empty
  bool takesValue = false;
};

// One option as found on the command line: the index of its spec, and its
// value when it takes one.
struct FoundOption {
  std::size_t spec = 0;
  std::string value;
};

// Splits `args` (the arguments after the program name) into options, in the
// order given, and operands. Options may stand anywhere; "--" ends them. A
// value comes as "--name=VALUE", "--name VALUE", "-xVALUE" or "-x VALUE",
// where the next argument is taken whatever it looks like, and must not be
// empty. Returns false, with `problem` holding one line that says what is
// wrong, for an unknown option or a missing or empty value.
bool splitCommandLine(const std::vector<std::string>& args,
                      const std::vector<OptionSpec>& specs,
                      std::vector<FoundOption>& found, std::vector<std::string>& operands,
                      std::string& problem);

}  // namespace vernatto::app
