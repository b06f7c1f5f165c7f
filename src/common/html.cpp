#include "common/html.h"

namespace vernatto::common {

void appendEscaped(std::string& out, std::string_view text) {
  // Most texts hold no markup character, so runs between them go in whole.
  std::size_t from = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* reference = nullptr;
    switch (text[i]) {
      case '&':
        reference = "&amp;";
        break;
      case '<':
        reference = "&lt;";
        break;
      case '>':
        reference = "&gt;";
        break;
      case '"':
        reference = "&quot;";
        break;
      case '\'':
        reference = "&#39;";
        break;
      default:
        continue;
    }
    out.append(text, from, i - from).append(reference);
    from = i + 1;
  }
  out.append(text, from, text.size() - from);
}

}  // namespace vernatto::common
