#include <istream>

#include "daw/readers.h"

namespace vernatto::daw {

// Not read yet: a project of this format lists no plug-ins.
void readCubase(std::istream& /*in*/, ProjectReading& /*reading*/) {}

}  // namespace vernatto::daw
