// What every page the programs write shares.
#pragma once

#include <string>
#include <string_view>

namespace vernatto::common {

// Appends `text` to `out` with & < > " ' replaced by their HTML references.
void appendEscaped(std::string& out, std::string_view text);

}  // namespace vernatto::common
