#include "fleet/fleet.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <future>
#include <optional>
#include <ostream>
#include <system_error>

#include "common/atomic_file.h"
#include "common/command_line.h"
#include "common/problems.h"
#include "common/progress.h"
#include "fleet/machines.h"
#include "fleet/options.h"
#include "fleet/outputs.h"
#include "platform/console_buffer.h"
#include "platform/platform.h"

namespace vernatto::fleet {
namespace {

constexpr const char* kProgram = "vernatto-fleet: ";

using Run = common::Problems;

// Whether `count` inventories are enough to compare; says why not on `err`.
bool enoughInventories(std::size_t count, Run& run) {
  if (count >= 2)
    return true;
  run.problem("needs at least two inventories, found " + std::to_string(count) +
              " (see --help)");
  return false;
}

// The paths of the inventories, or an empty list after saying why on `err`.
std::vector<std::string> inventoryPaths(const Options& options, Run& run) {
  std::vector<Notice> notices;
  const char separator = platform::pathSeparator();
  std::vector<std::string> paths = listInventories(
      options.inventories, {options.json, options.csv, options.html}, separator, notices);
  dropUnnamedAndRepeated(paths, pathSeparators(separator), notices);
  run.tell(notices);
  if (!enoughInventories(paths.size(), run))
    return {};
  const std::string clash = nameClash(paths, pathSeparators(separator));
  if (!clash.empty()) {
    run.problem(clash);
    return {};
  }
  if (options.reference.empty())
    return paths;
  std::string names;
  for (const std::string& path : paths) {
    const std::string name = machineName(path, pathSeparators(separator));
    if (name == options.reference)
      return paths;
    names += (names.empty() ? "" : ", ") + name;
  }
  run.problem("no machine is named \"" + options.reference + "\"; there are: " + names);
  return {};
}

std::vector<Machine> readMachinesOf(const std::vector<std::string>& paths, Run& run,
                                    bool errIsTerminal) {
  std::vector<Notice> notices;
  common::ProgressLine progress(run.err, errIsTerminal);
  std::vector<Machine> machines = readMachines(paths, false, progress, notices);
  run.tell(notices);
  return machines;
}

// How writing one output went: nothing when it went well, else why not.
using OutputProblem = std::optional<std::string>;

// Writes one output with `write`, to standard output for "-", else into a
// file put in place once complete. The outputs are independent of each other
// and each is mostly waiting, for the processor or for the disk, so each has
// a thread of its own; where none can be started, it is written when its
// result is asked for.
std::future<OutputProblem> startOutput(const std::string& path,
                                       void (*write)(const Fleet&, std::ostream&),
                                       const Fleet& fleet, std::ostream& out) {
  return std::async(std::launch::async | std::launch::deferred,
                    [&fleet, &out, path, write]() -> OutputProblem {
                      return common::writeOutput(
                          path, out, [&](std::ostream& stream) { write(fleet, stream); });
                    });
}

std::size_t indexOf(const std::vector<Machine>& machines, const std::string& name) {
  for (std::size_t m = 0; m < machines.size(); ++m) {
    if (machines[m].name == name)
      return m;
  }
  return machines.size();
}

}  // namespace

int runFleet(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             bool errIsTerminal) {
  Options options;
  std::string problem;
  const bool parsed = parseOptions(common::argumentsAfterProgram(args), options, problem);
  if (const std::optional<int> status =
          common::answerCommandLine("vernatto-fleet", parsed, problem, options.help,
                                    options.version, usageText(), out, err)) {
    return *status;
  }
  const bool outputToStandardOutput =
      options.html == "-" || options.csv == "-" || options.json == "-";
  Run run{err, kProgram};
  const std::vector<std::string> paths = inventoryPaths(options, run);
  if (paths.empty())
    return 2;

  const std::vector<Machine> machines = readMachinesOf(paths, run, errIsTerminal);
  if (!enoughInventories(machines.size(), run))
    return 2;
  std::vector<const inventory::Inventory*> inventories;
  std::vector<bool> complete;
  for (const Machine& machine : machines) {
    inventories.push_back(&machine.inventory);
    complete.push_back(machine.complete);
  }
  const PluginTable table(inventories, complete);
  // A reference that was not an inventory is gone; the rest still compares.
  const Fleet fleet{machines, table, indexOf(machines, options.reference)};

  // Each output, when asked for: where it goes, how to write it, and its
  // result. They are started before the console report is written, which
  // then runs beside them.
  struct Output {
    const std::string& path;
    void (*write)(const Fleet&, std::ostream&);
    std::future<OutputProblem> result;
  };
  Output outputs[] = {{options.json, writeJson, {}},
                      {options.csv, writeCsv, {}},
                      {options.html, writeHtml, {}}};
  for (Output& output : outputs) {
    if (!output.path.empty())
      output.result = startOutput(output.path, output.write, fleet, out);
  }
  writeConsole(fleet, options.all, outputToStandardOutput ? err : out);
  bool pageWritten = false;
  for (Output& output : outputs) {
    if (!output.result.valid())
      continue;
    if (const OutputProblem failure = output.result.get())
      run.problem(*failure);
    else
      pageWritten = pageWritten || output.write == writeHtml;
  }
  if (pageWritten && options.open) {
    platform::openInViewer(
        std::filesystem::absolute(std::filesystem::u8path(options.html)).u8string());
  }
  if (run.trouble)
    return 2;
  return table.counts().alike == table.counts().plugins ? 0 : 1;
}

}  // namespace vernatto::fleet
