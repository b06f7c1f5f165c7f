#include "project/find.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

namespace vernatto::project {
namespace fs = std::filesystem;
namespace {

std::string lowered(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// Folders where hosts keep copies of a project beside the project itself.
bool isCopiesFolder(const std::string& name) {
  return name == "Backup" || name == "History" || name == "Autosaves";
}

// Whether a .txt file is a session's listing exported as text.
bool isSessionText(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::array<char, 16> start{};
  file.read(start.data(), start.size());
  std::string_view text(start.data(), static_cast<std::size_t>(file.gcount()));
  if (text.substr(0, 3) == "\xEF\xBB\xBF")
    text.remove_prefix(3);
  return text.substr(0, 13) == "SESSION NAME:";
}

bool isProjectName(const std::string& fileName, const fs::path& path) {
  const std::string name = lowered(fileName);
  for (const std::string_view copy : {".bak", ".rpp-bak", ".pending"}) {
    if (endsWith(name, copy))
      return false;
  }
  for (const std::string_view extension :
       {".rpp", ".als", ".dawproject", ".ardour", ".carxp", ".mmp", ".mmpz", ".song",
        ".cpr", ".npr"}) {
    if (endsWith(name, extension))
      return true;
  }
  return endsWith(name, ".txt") && isSessionText(path);
}

// Adds the project files below `folder`, as paths below it joined by
// `separator`, to `below`. A folder that cannot be listed is told and left
// out; the rest is still searched.
void searchFolder(const fs::path& root, const fs::path& folder, char separator,
                  std::vector<std::string>& below, std::vector<fleet::Notice>& notices) {
  std::error_code error;
  std::vector<fs::path> folders;
  for (fs::directory_iterator it(folder, error), end; !error && it != end;
       it.increment(error)) {
    const fs::directory_entry& entry = *it;
    std::error_code typeError;
    const std::string name = entry.path().filename().u8string();
    // Links to folders are not followed: a link may lead back up.
    if (!entry.is_symlink(typeError) && entry.is_directory(typeError)) {
      if (!isCopiesFolder(name))
        folders.push_back(entry.path());
      continue;
    }
    if (!entry.is_regular_file(typeError) || !isProjectName(name, entry.path()))
      continue;
    std::string relative;
    for (const fs::path& part : entry.path().lexically_relative(root)) {
      if (!relative.empty())
        relative += separator;
      relative += part.u8string();
    }
    below.push_back(std::move(relative));
  }
  if (error) {
    notices.push_back(
        {"cannot read folder \"" + folder.u8string() + "\": " + error.message()});
  }
  for (const fs::path& inner : folders)
    searchFolder(root, inner, separator, below, notices);
}

void listFolder(const std::string& folder, char separator,
                std::vector<ProjectFile>& files, std::vector<fleet::Notice>& notices) {
  std::vector<std::string> below;
  searchFolder(fs::u8path(folder), fs::u8path(folder), separator, below, notices);
  std::sort(below.begin(), below.end());
  for (const std::string& relative : below)
    files.push_back({fleet::joinPath(folder, relative, separator), false});
}

}  // namespace

std::vector<ProjectFile> listProjects(const std::vector<std::string>& arguments,
                                      char separator,
                                      std::vector<fleet::Notice>& notices) {
  std::vector<ProjectFile> files;
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (fs::is_directory(fs::u8path(argument), error))
      listFolder(argument, separator, files, notices);
    else
      files.push_back({argument, true});
  }
  return files;
}

}  // namespace vernatto::project
