// The whole run of the program, from banner to hand-over of the report.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace vernatto::app {

// Runs the program with `args` as the process received them (args[0] is the
// program's own path). Console lines go to `out`; where the report went, when
// it could not go beside the program, or that it failed, to `err`. Returns the
// exit status: 0 after a complete run, -1 when fewer than two inventory paths
// were given, 1 when the report could not be written.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace vernatto::app
