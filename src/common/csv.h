// CSV as every program writes it: RFC 4180 fields, guarded against formulas.
#pragma once

#include <string>
#include <string_view>

namespace vernatto::common {

// Appends one field to `record`: a text that a spreadsheet would take for a
// formula gets a leading apostrophe; a field with a separator, quote or line
// break is quoted, inner quotes doubled.
void appendField(std::string& record, std::string_view text);

}  // namespace vernatto::common
