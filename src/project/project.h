// The project program's run sequence.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vernatto::project {

// Runs vernatto-project with `args` (args[0] is the program name): reads every
// project (and room), writes the console report to `out` (to `err` when an
// output goes to standard output) and the outputs the options ask for, and
// says on `err` what could not be read or written. Returns the exit status.
int runProject(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal);

}  // namespace vernatto::project
