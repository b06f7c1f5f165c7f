// The scanner program's run sequence.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vernatto::scan {

// Runs vernatto-scan with `args` (args[0] is the program name): writes the
// inventory to `out` or to the --output file, the problem lines and the
// summary to `err`, and, when `errIsTerminal`, a progress line that updates
// in place. Returns the exit status: 0 after a scan, 1 when the inventory
// cannot be written, 2 for a wrong command line.
int runScanner(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal);

}  // namespace vernatto::scan
