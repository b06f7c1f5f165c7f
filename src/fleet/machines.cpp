#include "fleet/machines.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <map>
#include <system_error>

#include "platform/console_buffer.h"
#include "platform/platform.h"

namespace vernatto::fleet {
namespace {

namespace fs = std::filesystem;

constexpr std::uintmax_t kNoSize = static_cast<std::uintmax_t>(-1);

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

void listFolder(const std::string& folder, const std::vector<std::string>& outputs,
                char separator, std::vector<std::string>& paths,
                std::vector<Notice>& notices) {
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
    notices.push_back({"cannot read folder \"" + folder + "\": " + error.message()});
    return;
  }
  std::sort(names.begin(), names.end());
  for (const std::string& name : names)
    paths.push_back(joinPath(folder, name, separator));
}

// Whether `path` names a file that one of `earlier` names too. Only files of
// the same size can be one, which spares comparing every pair.
bool isRepeated(const std::string& path, const std::vector<std::string>& earlier,
                const std::vector<std::uintmax_t>& sizes, std::uintmax_t size) {
  for (std::size_t i = 0; i < earlier.size(); ++i) {
    std::error_code error;
    if (earlier[i] == path ||
        (size != kNoSize && sizes[i] == size &&
         fs::equivalent(fs::u8path(earlier[i]), fs::u8path(path), error)))
      return true;
  }
  return false;
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

std::vector<std::string> listInventories(const std::vector<std::string>& arguments,
                                         const std::vector<std::string>& outputs,
                                         char separator, std::vector<Notice>& notices) {
  std::vector<std::string> paths;
  for (const std::string& argument : arguments) {
    std::error_code error;
    const fs::file_type type = fs::status(fs::u8path(argument), error).type();
    if (type == fs::file_type::directory) {
      listFolder(argument, outputs, separator, paths, notices);
    } else if (type == fs::file_type::not_found) {
      // A mistyped name is no machine that lacks everything.
      notices.push_back({"cannot read \"" + argument +
                         "\": " + std::generic_category().message(ENOENT)});
    } else {
      paths.push_back(argument);
    }
  }
  return paths;
}

void dropUnnamedAndRepeated(std::vector<std::string>& paths, std::string_view separators,
                            std::vector<Notice>& notices) {
  std::vector<std::string> kept;
  std::vector<std::uintmax_t> sizes;
  for (std::string& path : paths) {
    if (machineName(path, separators).empty()) {
      notices.push_back({"\"" + path + "\" gives a machine no name (rename it)"});
      continue;
    }
    std::error_code error;
    const std::uintmax_t size = fs::file_size(fs::u8path(path), error);
    if (isRepeated(path, kept, sizes, error ? kNoSize : size)) {
      notices.push_back({"\"" + path + "\" is given twice, read once", false});
      continue;
    }
    kept.push_back(std::move(path));
    sizes.push_back(error ? kNoSize : size);
  }
  paths = std::move(kept);
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

Reading readMachine(std::istream& in, Machine& machine, std::string& why) {
  const inventory::ReadOutcome outcome = inventory::readEntries(in, machine.inventory);
  if (outcome.topLevel == inventory::ReadOutcome::Value::kOther) {
    machine.inventory = {};
    machine.complete = false;
    return Reading::kNotAnInventory;
  }
  if (outcome.lastElementCut)
    machine.inventory.pop_back();
  machine.complete = outcome.whole;
  if (outcome.whole)
    return Reading::kWhole;
  why = inventory::failureText(outcome);
  return Reading::kIncomplete;
}

std::vector<Machine> readMachines(const std::vector<std::string>& paths, bool keepDetails,
                                  common::ProgressLine& progress,
                                  std::vector<Notice>& notices) {
  std::vector<Machine> machines;
  machines.reserve(paths.size());
  const std::string_view separators = pathSeparators(platform::pathSeparator());
  for (std::size_t i = 0; i < paths.size(); ++i) {
    const std::string& path = paths[i];
    if (progress.due()) {
      progress.show("reading inventories: " + std::to_string(i) + " of " +
                    std::to_string(paths.size()));
    }
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    if (!file) {
      // A name that leads nowhere is no machine that lacks everything.
      notices.push_back(
          {"cannot read \"" + path + "\": " + std::generic_category().message(errno)});
      continue;
    }
    Machine& machine = machines.emplace_back();
    // The reports are UTF-8 throughout, whatever bytes a file name holds.
    machine.name = platform::validUtf8(machineName(path, separators));
    machine.path = platform::validUtf8(path);
    if (keepDetails)
      machine.inventory.keepDetails();
    std::string why;
    const Reading reading = readMachine(file, machine, why);
    if (reading == Reading::kNotAnInventory) {
      notices.push_back({"not an inventory \"" + path + "\""});
      machines.pop_back();
    } else if (reading == Reading::kIncomplete) {
      notices.push_back({"failed reading \"" + path + "\": " + why});
    }
  }
  progress.wipe();
  return machines;
}

}  // namespace vernatto::fleet
