#include "project/project.h"

#include <ostream>

namespace vernatto::project {

int runProject(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool /*errIsTerminal*/) {
  if (args.size() == 2 && args[1] == "--version") {
    out << "vernatto-project " << VERNATTO_VERSION << "\n";
    return 0;
  }
  err << "vernatto-project: not built yet\n";
  return 2;
}

}  // namespace vernatto::project
