#include "daw/format.h"

namespace vernatto::daw {

// Not told yet: no format is known.
std::string_view formatOf(std::istream& /*in*/) {
  return {};
}

std::string_view formatOf(std::istream& in, std::string_view /*fileName*/) {
  return formatOf(in);
}

void readProject(std::istream& /*in*/, std::string_view /*format*/,
                 ProjectReading& reading) {
  reading.fail("not a project of a known format");
}

}  // namespace vernatto::daw
