// Which host's format a project file is in, told by its content, and the one
// call that reads a project whatever its format.
#pragma once

#include <istream>
#include <string_view>

#include "daw/reference.h"

namespace vernatto::daw {

// The format `in` holds, by its first bytes: "reaper", "live", "dawproject",
// "ardour", "carla", "lmms", "studio-one", "cubase" or "pro-tools-text"; an
// empty text when the content is none of them or cannot be told (empty,
// unreadable). `in` must be seekable (a zip's members are looked at); it is
// left at its start, its state cleared.
std::string_view formatOf(std::istream& in);

// The same, taking the file's name (or just its extension) as a hint where
// the content shows the kind of container but not what it holds: a zip that
// cannot be opened or holds neither project's members, named `.dawproject`
// or `.song`; a length and zlib stream named `.mmpz`; a RIFF file named
// `.cpr` or `.npr`. Extensions compare ignoring ASCII case.
std::string_view formatOf(std::istream& in, std::string_view fileName);

// Reads `in` from its start with the reader of `format` (a name formatOf
// gives). An empty or unknown `format` fails the reading.
void readProject(std::istream& in, std::string_view format, ProjectReading& reading);

}  // namespace vernatto::daw
