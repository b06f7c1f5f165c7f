#include "project/library.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "common/progress.h"
#include "daw/format.h"
#include "platform/console_buffer.h"
#include "project/matching.h"

namespace vernatto::project {
std::string readProject(std::istream& in, const std::string& path,
                        const std::vector<std::string>& uses, Project& project) {
  project.path = platform::validUtf8(path);
  project.format = daw::formatOf(in, path);
  daw::ProjectReading reading;
  if (project.format.empty())
    reading.fail("not a project of a host this program reads");
  else
    daw::readProject(in, project.format, reading);
  project.complete = reading.complete;
  project.references = reading.references.sorted();
  // Every output is UTF-8, whatever bytes a project stored.
  for (daw::Reference& reference : project.references) {
    for (std::string* text : {&reference.vendor, &reference.name, &reference.id,
                              &reference.file, &reference.version})
      *text = platform::validUtf8(*text);
  }
  if (!uses.empty()) {
    project.references.erase(
        std::remove_if(project.references.begin(), project.references.end(),
                       [&](const daw::Reference& r) { return !mentions(r, uses); }),
        project.references.end());
  }
  return reading.complete ? std::string() : reading.problem;
}

std::vector<Project> readProjects(const std::vector<ProjectFile>& files,
                                  const std::vector<std::string>& uses, std::ostream& err,
                                  bool errIsTerminal,
                                  std::vector<fleet::Notice>& notices) {
  std::vector<Project> projects(files.size());
  common::ProgressLine progress(err, errIsTerminal);
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (progress.due()) {
      progress.show("reading projects: " + std::to_string(i) + " of " +
                    std::to_string(files.size()));
    }
    const std::string& path = files[i].path;
    Project& project = projects[i];
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    std::error_code error;
    if (!file || std::filesystem::is_directory(std::filesystem::u8path(path), error)) {
      const std::string reason = file ? std::generic_category().message(EISDIR)
                                      : std::generic_category().message(errno);
      project.path = platform::validUtf8(path);
      project.complete = false;
      notices.push_back({"cannot read \"" + path + "\": " + reason});
      continue;
    }
    const std::string why = readProject(file, path, uses, project);
    if (!why.empty())
      notices.push_back({"failed reading \"" + path + "\": " + why});
  }
  progress.wipe();
  return projects;
}

}  // namespace vernatto::project
