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

// What differs on one plug-in: the machines that lack it, or the machines
// grouped by what they hold ("1.2 on a, c | 1.3 on b").
void appendDifference(const Fleet& fleet, const PluginRow& row, std::string& line) {
  const std::size_t machines = fleet.machines.size();
  if (row.status == Status::kMissing) {
    line += "missing on ";
    const char* separator = "";
    for (std::size_t m = 0; m < machines; ++m) {
      if (row.on(m).empty()) {
        line.append(separator).append(fleet.machines[m].name);
        separator = ", ";
      }
    }
    return;
  }
  if (row.status == Status::kAlike) {
    appendCellText(line, row.on(0));
    return;
  }
  const std::vector<std::uint32_t> groupOf = groupMachines(*row.installs);
  std::uint32_t groups = 0;
  for (std::size_t m = 0; m < machines; ++m) {
    if (groupOf[m] != groups)
      continue;  // a machine without it, or one of a group already shown
    line += groups++ == 0 ? "" : " | ";
    appendCellText(line, row.on(m));
    line += " on ";
    const char* separator = "";
    for (std::size_t other = m; other < machines; ++other) {
      if (groupOf[other] == groupOf[m]) {
        line.append(separator).append(fleet.machines[other].name);
        separator = ", ";
      }
    }
  }
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
    const PluginEntry& key = *row.key;
    line.assign(key.vendor).append(" | ").append(key.name).append(" | ");
    line.append(key.technology).append(" | ");
    appendDifference(fleet, row, line);
    line += '\n';
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
