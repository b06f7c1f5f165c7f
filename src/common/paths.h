// Splitting paths into folder and file name, and finding the program's folder.
#pragma once

#include <string>

namespace vernatto::common {

// The folder part of `path` with its separator: the text before the last
// `separator` followed by one `separator`. A path without any separator is
// taken whole as the folder.
std::string folderOf(const std::string& path, char separator);

// The file-name part of `path`: the text after the last `separator`, or the
// whole path when it has none.
std::string displayName(const std::string& path, char separator);

// The folder for the report. `arg0` is the program path as started and
// `osPath` the executable's path as the system knows it. A bare name in arg0
// would aim the report into a folder that does not exist, so the system's
// path is used then, when it is known.
std::string executableFolder(const std::string& arg0, const std::string& osPath,
                             char separator);

}  // namespace vernatto::common
