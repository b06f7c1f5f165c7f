// The fleet program's run sequence.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vernatto::fleet {

// Runs vernatto-fleet with `args` (args[0] is the program name): reads every
// inventory, writes the console report to `out` (to `err` when an output goes
// to standard output) and the outputs the options ask for, and says on `err`
// what could not be read or written; when `errIsTerminal`, a progress line
// shows there while the files are read. Returns the exit status: 0 when
// every plug-in is alike everywhere, 1 when one is not, 2 on trouble.
int runFleet(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             bool errIsTerminal);

}  // namespace vernatto::fleet
