// Which project files the command line's PROJECT arguments name.
#pragma once

#include <string>
#include <vector>

#include "fleet/machines.h"

namespace vernatto::project {

struct ProjectFile {
  std::string path;    // as given, or the folder as given and the path below it
  bool named = false;  // named on the command line, so read whatever its name
};

// The project files of `arguments`, in order: a folder as every project file
// below it (by its name's ending, or a .txt file whose first line begins
// "SESSION NAME:"), sorted by the bytes of the path below the folder, without
// the hosts' backup and autosave copies and without following links to
// folders; anything else as given, to be read whatever its name (a name that
// does not exist too: reading it says so). A folder that cannot be listed, in
// whole or in part, gives a notice.
std::vector<ProjectFile> listProjects(const std::vector<std::string>& arguments,
                                      char separator,
                                      std::vector<fleet::Notice>& notices);

}  // namespace vernatto::project
