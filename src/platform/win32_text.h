// Windows takes and gives UTF-16; every text inside the programs is UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace vernatto::platform {

// Returns `text` in UTF-8; an unpaired surrogate becomes U+FFFD.
std::string toUtf8(std::wstring_view text);

// Returns `text` in UTF-16; a byte that is not UTF-8 becomes U+FFFD.
std::wstring toUtf16(std::string_view text);

// The system's message for the calling thread's last error, in UTF-8,
// without the line end and full stop that Windows puts at its end.
std::string lastErrorText();

}  // namespace vernatto::platform
