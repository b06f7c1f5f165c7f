// The plug-ins of a fleet: every key that some machine has, with its installs
// on every machine, and how the machines compare.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "inventory/inventory.h"

namespace vernatto::fleet {

using inventory::PluginEntry;

// How the machines compare on one plug-in. The order is that of the reports.
enum class Status : std::uint8_t { kMissing, kVersion, kTime, kAlike };

// One machine against the reference machine, on one plug-in.
enum class Versus : std::uint8_t {
  kNone,  // neither has it
  kReference,
  kMissing,
  kExtra,
  kSame,
  kOlder,
  kNewer,
  kDiffers,
  kUnknown,  // one of the two was not read whole and lacks it
};

// A machine's installs of one plug-in: its entries with that key, in file
// order. Usually none or one. A machine whose file was not read whole may
// have lost the plug-in with the rest of its file: where it shows none, its
// installs are unknown rather than none.
struct Installs {
  const PluginEntry* const* first = nullptr;
  const PluginEntry* const* last = nullptr;
  bool unknown = false;  // then empty too

  std::size_t size() const { return static_cast<std::size_t>(last - first); }
  bool empty() const { return first == last; }
  const PluginEntry& operator[](std::size_t i) const { return *first[i]; }
};

// The plug-in's status over the installs of every machine whose installs
// are known: missing when such a machine has none; else version when the machines' sets
// of version texts differ; else, when every set is the empty text alone, time when their
// sets of times differ; else alike.
Status statusOf(const std::vector<Installs>& installs);

// Groups the machines by what they hold of one plug-in (machines hold it
// alike with the same set of version texts and, when that set is the empty
// text alone, the same set of times): for each machine its group, kNoGroup
// where it has no install. Groups are numbered from 0 in the order of their
// first machines.
constexpr std::uint32_t kNoGroup = 0xFFFFFFFF;
std::vector<std::uint32_t> groupMachines(const std::vector<Installs>& installs);

// `machine` against `reference`, neither of them the reference itself:
// unknown when either is unknown; else none, missing, extra, same, older or
// newer (when each has exactly one install: by version when both have one,
// in natural order; by time when neither has one), else differs.
Versus versusOf(Installs machine, Installs reference);

// Natural order of version texts: runs of ASCII digits compare by value
// whatever their length, other runs bytewise, a digit run goes before another
// run, and a text that runs out first goes first. Returns a negative number,
// zero or a positive number. Zero for different texts such as "01" and "1".
int compareNatural(std::string_view a, std::string_view b);

// Appends `seconds` since 1970 as "YYYY-MM-DD HH:MM:SS", followed by " UTC"
// when `zone`; a time after the year 9999 as its decimal number.
void appendTime(std::string& out, std::uint64_t seconds, bool zone = true);

// Appends `text` as it is: how most writers take a version.
void appendText(std::string& out, std::string_view text);

// Appends what a report shows for a machine's installs: each install's
// version (through `appendVersion`, so that a writer can escape it as it
// goes), or its time (see appendTime) when it has none, joined by " + ";
// nothing when there is none.
void appendCellText(std::string& out, Installs installs,
                    void (*appendVersion)(std::string&, std::string_view) = appendText,
                    bool zone = true);

// One plug-in, as PluginTable::forEach hands it out.
struct PluginRow {
  std::size_t index = 0;             // in plug-in order
  const PluginEntry* key = nullptr;  // an install, for vendor, name, technology
  Status status = Status::kAlike;
  bool duplicate = false;                 // some machine has it twice or more
  const std::vector<Installs>* installs;  // one per machine, in machine order
  // Per machine: it holds the plug-in otherwise than most machines do (the
  // earlier value wins a tie).
  const std::uint8_t* differing = nullptr;

  Installs on(std::size_t machine) const { return (*installs)[machine]; }
  bool differsOn(std::size_t machine) const { return differing[machine] != 0; }
};

// Counts of the plug-ins by status.
struct StatusCounts {
  std::size_t plugins = 0;
  std::size_t missing = 0;
  std::size_t version = 0;
  std::size_t time = 0;
  std::size_t alike = 0;
};

// The plug-ins of several inventories in plug-in order: as entryLess orders
// entries, ties broken by the exact bytes of vendor, name and technology. A
// plug-in is a key compared byte for byte, so keys that differ only in case
// are two plug-ins, side by side. The inventories must outlive the table and
// stay unchanged. `complete` tells, per machine, whether its file was read
// whole (all are, when it is empty).
class PluginTable {
 public:
  explicit PluginTable(const std::vector<const inventory::Inventory*>& machines,
                       const std::vector<bool>& complete = {});

  std::size_t machineCount() const { return machines_.size(); }
  const StatusCounts& counts() const { return counts_; }
  // One entry per plug-in, in plug-in order, for its vendor, name and
  // technology.
  const std::vector<const PluginEntry*>& keys() const { return keys_; }

  // Calls `visit` for every plug-in, in order.
  void forEach(const std::function<void(const PluginRow&)>& visit) const;

 private:
  void walk(const std::function<void(PluginRow&)>& visit) const;

  // Each machine's entries in plug-in order (file order within a key), and
  // the rank of each one's plug-in.
  struct Order {
    std::vector<const PluginEntry*> entries;
    std::vector<std::uint32_t> ranks;
  };
  std::vector<Order> machines_;
  std::vector<bool> complete_;
  std::vector<const PluginEntry*> keys_;  // one entry per plug-in, by rank
  std::vector<Status> statuses_;
  std::vector<bool> duplicates_;
  std::vector<std::uint8_t> differing_;  // PluginRow::differing, plug-in after plug-in
  StatusCounts counts_;
};

// What one machine holds against the others: with a reference machine, its
// versus labels counted; without, the plug-ins it lacks of all the fleet's
// and those it holds otherwise than most machines do.
struct MachineStats {
  std::size_t lacks = 0;
  std::size_t extra = 0;
  std::size_t older = 0;
  std::size_t newer = 0;
  std::size_t differing = 0;
  std::size_t duplicates = 0;  // plug-ins installed twice or more
  std::size_t unknown = 0;     // plug-ins it may have lost with its file's end
};

// The stats of every machine of `table`; `reference` is a machine's index,
// or machineCount() for none.
std::vector<MachineStats> machineStats(const PluginTable& table, std::size_t reference);

}  // namespace vernatto::fleet
