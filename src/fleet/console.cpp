#include <algorithm>
#include <ostream>
#include <string>

#include "fleet/outputs.h"

namespace vernatto::fleet {
namespace {

// "1 plug-in", "2 plug-ins".
std::string count(std::size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string summaryLine(const Fleet& fleet) {
  const StatusCounts& c = fleet.table.counts();
  return count(fleet.machines.size(), "machine", "machines") + ", " +
         count(c.plugins, "plug-in", "plug-ins") + ": " + std::to_string(c.missing) +
         " missing somewhere, " + std::to_string(c.version) + " differing in version, " +
         std::to_string(c.time) + " differing in time, " + std::to_string(c.alike) +
         " alike\n";
}

// Appends the names of the machines for which `take(m)` holds, joined by
// ", "; returns how many there were.
template <typename Take>
std::size_t appendNames(const Fleet& fleet, std::string& line, Take take) {
  std::size_t count = 0;
  for (std::size_t m = 0; m < fleet.machines.size(); ++m) {
    if (take(m))
      line.append(count++ == 0 ? "" : ", ").append(fleet.machines[m].name);
  }
  return count;
}

// Where a plug-in is missing: the machines that lack it, or those that hold
// it when that says the same in fewer words.
void appendMissing(const Fleet& fleet, const PluginRow& row, std::string& line) {
  std::string lacking = "missing on ";
  appendNames(fleet, lacking,
              [&](std::size_t m) { return row.on(m).empty() && !row.on(m).unknown; });
  std::string holding = "only on ";
  appendNames(fleet, holding, [&](std::size_t m) { return !row.on(m).empty(); });
  line += holding.size() < lacking.size() ? holding : lacking;
}

// What differs on one plug-in: where it is missing, or the machines grouped
// by what they hold ("1.2 on a, c | 1.3 on b").
void appendDifference(const Fleet& fleet, const PluginRow& row, std::string& line) {
  const std::size_t machines = fleet.machines.size();
  if (row.status == Status::kMissing) {
    appendMissing(fleet, row, line);
    return;
  }
  const std::vector<std::uint32_t> groupOf = groupMachines(*row.installs);
  std::uint32_t groups = 0;
  for (std::size_t m = 0; m < machines; ++m) {
    if (groupOf[m] != groups)
      continue;  // a machine without it, or one of a group already shown
    line += groups++ == 0 ? "" : " | ";
    appendCellText(line, row.on(m));
    if (row.status == Status::kAlike)
      return;
    line += " on ";
    appendNames(fleet, line,
                [&](std::size_t other) { return groupOf[other] == groupOf[m]; });
  }
}

// Each machine's verdict against the reference, where it is one to act on.
void appendVerdicts(const Fleet& fleet, const PluginRow& row, std::string& line) {
  constexpr std::pair<Versus, const char*> kVerdicts[] = {
      {Versus::kOlder, " | older on "},
      {Versus::kNewer, " | newer on "},
      {Versus::kDiffers, " | differs on "},
      {Versus::kExtra, " | extra on "},
  };
  const Installs reference = row.on(fleet.reference);
  for (const auto& [versus, words] : kVerdicts) {
    std::string names;
    const auto judged = [&, versus = versus](std::size_t m) {
      return m != fleet.reference && versusOf(row.on(m), reference) == versus;
    };
    if (appendNames(fleet, names, judged) > 0)
      line.append(words).append(names);
  }
}

// "installed twice on a, b | installed 3 times on c", after the key.
void appendDuplicates(const Fleet& fleet, const PluginRow& row, std::string& line) {
  std::vector<std::size_t> counts;
  for (std::size_t m = 0; m < fleet.machines.size(); ++m) {
    if (row.on(m).size() > 1)
      counts.push_back(row.on(m).size());
  }
  std::sort(counts.begin(), counts.end());
  counts.erase(std::unique(counts.begin(), counts.end()), counts.end());
  const char* separator = "";
  for (const std::size_t count : counts) {
    line.append(separator).append("installed ");
    line.append(count == 2 ? "twice" : std::to_string(count) + " times").append(" on ");
    appendNames(fleet, line, [&](std::size_t m) { return row.on(m).size() == count; });
    separator = " | ";
  }
}

void appendKey(const PluginEntry& key, std::string& line) {
  line.assign(key.vendor).append(" | ").append(key.name).append(" | ");
  line.append(key.technology).append(" | ");
}

void writeSection(const Fleet& fleet, Status status, const char* title,
                  std::ostream& out) {
  const StatusCounts& c = fleet.table.counts();
  const std::size_t size = status == Status::kMissing   ? c.missing
                           : status == Status::kVersion ? c.version
                           : status == Status::kTime    ? c.time
                                                        : c.alike;
  if (size == 0)
    return;
  out << '\n'
      << title << '\n'
      << std::string(std::char_traits<char>::length(title), '=') << '\n';
  std::string line;
  fleet.table.forEach([&](const PluginRow& row) {
    if (row.status != status)
      return;
    appendKey(*row.key, line);
    appendDifference(fleet, row, line);
    std::string unknown;
    if (appendNames(fleet, unknown, [&](std::size_t m) { return row.on(m).unknown; }) > 0)
      line.append(" | unknown on ").append(unknown);
    if (fleet.hasReference())
      appendVerdicts(fleet, row, line);
    line += '\n';
    if (row.duplicate) {
      std::string duplicates;
      appendKey(*row.key, duplicates);
      appendDuplicates(fleet, row, duplicates);
      line += duplicates + '\n';
    }
    out << line;
  });
}

void appendStat(std::size_t n, const char* what, std::string& line) {
  if (n > 0)
    line.append(", ").append(std::to_string(n)).append(what);
}

void writeMachines(const Fleet& fleet, std::ostream& out) {
  out << "\nMachines\n========\n";
  const std::vector<MachineStats> stats = machineStats(fleet.table, fleet.reference);
  for (std::size_t m = 0; m < fleet.machines.size(); ++m) {
    const Machine& machine = fleet.machines[m];
    std::string line =
        machine.name + ": " + count(machine.inventory.size(), "entry", "entries");
    if (m == fleet.reference)
      line += ", reference";
    const MachineStats& s = stats[m];
    if (s.lacks > 0)
      line += ", lacks " + std::to_string(s.lacks);
    appendStat(s.extra, " extra", line);
    appendStat(s.older, " older", line);
    appendStat(s.newer, " newer", line);
    appendStat(s.differing, " differing", line);
    if (s.duplicates > 0)
      line += ", " + count(s.duplicates, "duplicate", "duplicates");
    appendStat(s.unknown, " unknown", line);
    if (!machine.complete)
      line += ", incomplete";
    out << line << '\n';
  }
}

}  // namespace

std::string_view statusWord(Status status) {
  switch (status) {
    case Status::kMissing:
      return "missing";
    case Status::kVersion:
      return "version";
    case Status::kTime:
      return "time";
    case Status::kAlike:
      break;
  }
  return "alike";
}

std::string_view versusWord(Versus versus) {
  constexpr std::string_view kWords[] = {"",      "reference", "missing",
                                         "extra", "same",      "older",
                                         "newer", "differs",   "unknown"};
  return kWords[static_cast<std::size_t>(versus)];
}

void writeConsole(const Fleet& fleet, bool all, std::ostream& out) {
  out << summaryLine(fleet);
  writeSection(fleet, Status::kMissing, "Missing somewhere", out);
  writeSection(fleet, Status::kVersion, "Version mismatch", out);
  writeSection(fleet, Status::kTime, "Timestamp mismatch", out);
  if (all)
    writeSection(fleet, Status::kAlike, "Alike", out);
  writeMachines(fleet, out);
  out.flush();
}

}  // namespace vernatto::fleet
