#include "fleet/machines.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

namespace vernatto::fleet {
namespace {

namespace fs = std::filesystem;

bool endsWithJson(std::string_view name) {
  constexpr std::string_view kExtension = ".json";
  return name.size() >= kExtension.size() &&
         inventory::toLowerCopy(name.substr(name.size() - kExtension.size())) ==
             kExtension;
}

// Whether `file` is the same file as one of `outputs` that exists already.
bool isOutput(const fs::path& file, const std::vector<std::string>& outputs) {
  for (const std::string& output : outputs) {
    std::error_code error;
    if (output != "-" && fs::equivalent(file, fs::u8path(output), error))
      return true;
  }
  return false;
}

bool listFolder(const std::string& folder, const std::vector<std::string>& outputs,
                char separator, std::vector<std::string>& paths, std::string& problem) {
  std::error_code error;
  std::vector<std::string> names;
  for (fs::directory_iterator it(fs::u8path(folder), error), end; !error && it != end;
       it.increment(error)) {
    std::error_code ignored;
    const std::string name = it->path().filename().u8string();
    if (endsWithJson(name) && it->is_regular_file(ignored) &&
        !isOutput(it->path(), outputs))
      names.push_back(name);
  }
  if (error) {
    problem = "cannot read folder \"" + folder + "\": " + error.message();
    return false;
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names)
    paths.push_back(joinPath(folder, name, separator));
  return true;
}

}  // namespace

std::string_view pathSeparators(char separator) {
  return separator == '\\' ? "\\/" : "/";
}

std::string machineName(std::string_view path, std::string_view separators) {
  const std::size_t slash = path.find_last_of(separators);
  std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
  if (endsWithJson(name))
    name.remove_suffix(5);
  return std::string(name);
}

std::string joinPath(const std::string& folder, const std::string& file, char separator) {
  if (!folder.empty() &&
      pathSeparators(separator).find(folder.back()) != std::string_view::npos) {
    return folder + file;
  }
  return folder + separator + file;
}

bool listInventories(const std::vector<std::string>& arguments,
                     const std::vector<std::string>& outputs, char separator,
                     std::vector<std::string>& paths, std::string& problem) {
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (!fs::is_directory(fs::u8path(argument), error)) {
      paths.push_back(argument);
    } else if (!listFolder(argument, outputs, separator, paths, problem)) {
      return false;
    }
  }
  return true;
}

std::string nameClash(const std::vector<std::string>& paths,
                      std::string_view separators) {
  std::map<std::string, const std::string*> seen;
  for (const std::string& path : paths) {
    const auto [at, added] = seen.emplace(machineName(path, separators), &path);
    if (!added) {
      return "two inventories are named \"" + at->first + "\": \"" + *at->second +
             "\" and \"" + path + "\" (rename one)";
    }
  }
  return {};
}

Reading readMachine(std::istream& in, Machine& machine) {
  const inventory::ReadOutcome outcome = inventory::readEntries(in, machine.inventory);
  if (outcome.topLevel == inventory::ReadOutcome::Value::kOther) {
    machine.inventory = {};
    machine.complete = false;
    return Reading::kNotAnInventory;
  }
  if (outcome.lastElementCut)
    machine.inventory.pop_back();
  machine.complete = outcome.whole;
  return outcome.whole ? Reading::kWhole : Reading::kIncomplete;
}

}  // namespace vernatto::fleet
