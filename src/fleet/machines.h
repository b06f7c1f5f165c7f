// The machines of a fleet: which inventory files the command line names, what
// each machine is called, and what was read of each.
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "common/problems.h"
#include "common/progress.h"
#include "inventory/inventory.h"

namespace vernatto::fleet {

struct Machine {
  std::string name;                // the file name without ".json"
  std::string path;                // as given, or the folder as given and the file name
  inventory::Inventory inventory;  // the entries read whole, in file order
  bool complete = true;            // the file was read whole
};

// The separators of this system's paths, for `separator` as
// platform::pathSeparator() gives it: Windows splits at '\' and '/'.
std::string_view pathSeparators(char separator);

// A machine's name: the last component of `path`, split at any of
// `separators`, without a final ".json" in any case.
std::string machineName(std::string_view path, std::string_view separators);

// `folder` and `file` joined by `separator`, which is left out when the folder
// already ends in one of `separators`.
std::string joinPath(const std::string& folder, const std::string& file, char separator);

// A line for the user from gathering the machines.
using Notice = common::Notice;

// The inventory files that the command line's INVENTORY arguments name, in
// order: a file (or anything else that is not a folder) as given; a folder
// as the files directly inside it whose names end in ".json" in any case, in
// byte order of the names, except those that are the same file as one of
// `outputs`. A name that does not exist and a folder that cannot be listed
// give a notice and no files.
std::vector<std::string> listInventories(const std::vector<std::string>& arguments,
                                         const std::vector<std::string>& outputs,
                                         char separator, std::vector<Notice>& notices);

// Leaves out of `paths`, each with a notice: a path that gives a machine no
// name (trouble), and a path that names a file listed before it, the same
// path again or the same file reached another way (a note: read once).
void dropUnnamedAndRepeated(std::vector<std::string>& paths, std::string_view separators,
                            std::vector<Notice>& notices);

// Returns an empty text when the names of `paths` are all different, else one
// line that names two paths with the same name.
std::string nameClash(const std::vector<std::string>& paths, std::string_view separators);

// How reading a machine's inventory went.
enum class Reading { kWhole, kIncomplete, kNotAnInventory };

// Reads `machine.inventory` from `in`. A file read only in part keeps the
// elements read whole (the one that the failure cut is left out) and is marked
// incomplete, with `why` saying what failed where; a file whose top-level
// value is not an array is not an inventory and gives no entries.
Reading readMachine(std::istream& in, Machine& machine, std::string& why);

// Reads the inventories at `paths`, in order, each into a machine (keeping
// the entries' details when `keepDetails`), with progress shown on
// `progress`. A file that cannot be opened or is no inventory gives no
// machine; it and one read in part give a notice.
std::vector<Machine> readMachines(const std::vector<std::string>& paths, bool keepDetails,
                                  common::ProgressLine& progress,
                                  std::vector<Notice>& notices);

}  // namespace vernatto::fleet
