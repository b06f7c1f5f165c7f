// The command-line conventions that every program of the project shares.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vernatto::common {

// One option a program takes.
struct KnownOption {
  std::string_view name;       // "--output"
  std::string_view shortName;  // "-o", or empty
  bool takesValue = false;
};

// One option as found on the command line: which of the known options it is
// (an index), and its value when it takes one.
struct FoundOption {
  std::size_t which = 0;
  std::string value;
};

// Splits `args` (the arguments after the program name) into options, in the
// order given, and operands. Options may stand anywhere; "--" ends them. A
// value comes as "--name=VALUE", "--name VALUE", "-xVALUE" or "-x VALUE",
// where the next argument is taken whatever it looks like, and must not be
// empty. Returns false, with `problem` holding one line that says what is
// wrong, for an unknown option or a missing or empty value.
bool splitCommandLine(const std::vector<std::string>& args,
                      const std::vector<KnownOption>& known,
                      std::vector<FoundOption>& found, std::vector<std::string>& operands,
                      std::string& problem);

// Checks the outputs that the fleet and project programs take: at most one
// of `html`, `csv` and `json` is "-" (standard output), and `open` needs the
// page written to a file. Returns false, with `problem` saying why, when not.
bool checkOutputs(const std::string& html, const std::string& csv,
                  const std::string& json, bool open, std::string& problem);

// The arguments after the program name in `args` (args[0] is the program).
std::vector<std::string> argumentsAfterProgram(const std::vector<std::string>& args);

// Ends the run where every program ends it before its work: for a command
// line that did not parse (`parsed` false), one line "PROGRAM: problem" on
// `err` and status 2; for --help, `usage` on `out`; for --version, "PROGRAM
// VERSION". Returns the exit status then (1 when `out` cannot be written),
// or nothing when the run goes on.
std::optional<int> answerCommandLine(std::string_view program, bool parsed,
                                     const std::string& problem, bool help, bool version,
                                     const std::string& usage, std::ostream& out,
                                     std::ostream& err);

}  // namespace vernatto::common
