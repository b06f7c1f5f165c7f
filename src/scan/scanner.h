// The scanner program's run sequence.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "scan/describe.h"

namespace vernatto::scan {

// Scans this machine as vernatto-scan does: the default folders when
// `defaultPaths`, and `paths`. Says on `err` what could not be read, each
// line begun with `program`, with a progress line when `errIsTerminal`.
// Returns false, scanning nothing, when one of `paths` does not exist or
// cannot be listed; else fills `result` with the plug-ins in inventory
// order.
bool scanMachine(const std::vector<std::string>& paths, bool defaultPaths,
                 std::string_view program, std::ostream& err, bool errIsTerminal,
                 ScanResult& result);

// Runs vernatto-scan with `args` (args[0] is the program name): writes the
// inventory to `out` or to the --output file, the problem lines and the
// summary to `err`, and, when `errIsTerminal`, a progress line that updates
// in place. Returns the exit status: 0 after a scan, 1 when the inventory
// cannot be written, 2 for a wrong command line.
int runScanner(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal);

}  // namespace vernatto::scan
