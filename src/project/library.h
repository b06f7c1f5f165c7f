// The projects of a run: each project file read into the plug-ins it uses.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "daw/reference.h"
#include "fleet/machines.h"
#include "project/find.h"

namespace vernatto::project {

struct Project {
  std::string path;
  std::string format;  // the format's name, or empty when it cannot be told
  bool complete = true;
  std::vector<daw::Reference> references;  // in reference order
};

// Reads the project `in`, whose file is named `path`: its format told by
// its content (with the name's ending as a hint where the content is
// damaged), its references in reference order, keeping only those that
// `uses` mentions when it is not empty. Returns an empty text when the
// project was read whole, else the line that says why not.
std::string readProject(std::istream& in, const std::string& path,
                        const std::vector<std::string>& uses, Project& project);

// Reads every file of `files` in order; says what could not be read in
// `notices`, and shows progress while it reads.
std::vector<Project> readProjects(const std::vector<ProjectFile>& files,
                                  const std::vector<std::string>& uses, std::ostream& err,
                                  bool errIsTerminal,
                                  std::vector<fleet::Notice>& notices);

}  // namespace vernatto::project
