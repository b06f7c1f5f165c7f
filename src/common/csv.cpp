#include "common/csv.h"

namespace vernatto::common {

// A crafted file must not plant a formula in the user's spreadsheet.
void appendField(std::string& record, std::string_view text) {
  std::string field;
  if (!text.empty() &&
      std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos)
    field += '\'';
  field += text;
  if (field.find_first_of(",\"\r\n") == std::string::npos) {
    record += field;
    return;
  }
  record += '"';
  for (const char c : field) {
    if (c == '"')
      record += '"';
    record += c;
  }
  record += '"';
}

}  // namespace vernatto::common
