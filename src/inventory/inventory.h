// Plug-in inventories: the entry record, the file reader and the entry order.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace vernatto::inventory {

// One plug-in as listed in an inventory file.
struct PluginEntry {
  std::string vendor;
  std::string name;
  std::string version;  // empty when the file gives none
  std::string technology;
  std::uint64_t modifiedTime = 0;  // 0 when the file's value could not be converted
};

// Field-by-field equality, all five fields.
inline bool operator==(const PluginEntry& a, const PluginEntry& b) {
  return a.vendor == b.vendor && a.name == b.name && a.version == b.version &&
         a.technology == b.technology && a.modifiedTime == b.modifiedTime;
}
inline bool operator!=(const PluginEntry& a, const PluginEntry& b) {
  return !(a == b);
}

using Inventory = std::vector<PluginEntry>;

// Reads the inventory file at `path`, appends one entry per element of its
// top-level array to `inventory` and sorts the whole inventory with entryLess.
// Writes the "File: " line, the failure line (if the file is missing or not
// valid JSON), the count line and one echo line per entry to `out`, each
// ended with a newline and a flush. Never throws for anything a file holds:
// a broken file contributes what could be read of it.
void readInventory(const std::string& path, Inventory& inventory, std::ostream& out);

// Returns `text` with the ASCII letters A-Z lowered; every other byte,
// 0x80 and above included, is kept as it is.
std::string toLowerCopy(const std::string& text);

// The inventory order: by vendor, then name, then technology, each compared
// bytewise after lowering ASCII letters. Entries whose keys differ only in
// case are equivalent.
bool entryLess(const PluginEntry& a, const PluginEntry& b);

// The same order as a three-way comparison: negative when `a` goes first,
// zero when the two are equivalent, positive when `b` goes first.
int compareEntries(const PluginEntry& a, const PluginEntry& b);

// Sorts `inventory` by entryLess, lowering each entry's keys only once.
// Equivalent entries keep their relative order, which makes runs repeatable.
void sortInventory(Inventory& inventory);

}  // namespace vernatto::inventory
