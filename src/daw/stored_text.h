// Texts as the XML project formats store them: paths, numbers, escapes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vernatto::daw {

// The last component of a stored path, split at both '/' and '\' whatever
// the system, trailing separators dropped (a bundle stored as a folder).
std::string fileOfPath(std::string_view path);

// `file` without its last extension ("Massive.vst" gives "Massive").
std::string withoutExtension(std::string_view file);

// `text` with each %XX escape replaced by its byte; a '%' not followed by
// two hex digits stays as it is.
std::string urlDecoded(std::string_view text);

// A decimal integer, optionally signed, surrounding white space ignored;
// nothing for anything else or one out of range.
std::optional<std::int64_t> integerOf(std::string_view text);

// A LADSPA or DSSI unique id in its normal form (unsigned decimal), or an
// empty text when `text` is not one.
std::string decimalId(std::string_view text);

// Appends `piece` to `text`, keeping at most `limit` bytes: a field no host
// writes long stays small however long a hostile file makes it.
void appendCapped(std::string& text, std::string_view piece, std::size_t limit = 4096);

}  // namespace vernatto::daw
