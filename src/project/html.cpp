#include <ostream>

#include "project/outputs.h"

namespace vernatto::project {

// Written next.
void writeHtml(const Answer& /*answer*/, std::ostream& out) {
  out << "<!DOCTYPE html>\n";
}

}  // namespace vernatto::project
