#include "project/project.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <sstream>

#include "common/atomic_file.h"
#include "common/command_line.h"
#include "common/problems.h"
#include "common/progress.h"
#include "fleet/machines.h"
#include "platform/platform.h"
#include "project/check.h"
#include "project/find.h"
#include "project/library.h"
#include "project/options.h"
#include "project/outputs.h"
#include "scan/output.h"
#include "scan/scanner.h"

namespace vernatto::project {
namespace {

constexpr const char* kProgram = "vernatto-project: ";

using Run = common::Problems;

// The rooms the --room options name, read as the fleet reads its machines.
std::vector<fleet::Machine> inventoryRooms(const Options& options, Run& run,
                                           bool errIsTerminal) {
  std::vector<fleet::Notice> notices;
  const char separator = platform::pathSeparator();
  std::vector<std::string> paths = fleet::listInventories(
      options.rooms, {options.json, options.csv, options.html}, separator, notices);
  fleet::dropUnnamedAndRepeated(paths, fleet::pathSeparators(separator), notices);
  run.tell(notices);
  const std::string clash = fleet::nameClash(paths, fleet::pathSeparators(separator));
  if (!clash.empty()) {
    run.problem(clash);
    return {};
  }
  common::ProgressLine progress(run.err, errIsTerminal);
  std::vector<fleet::Machine> rooms = fleet::readMachines(paths, true, progress, notices);
  run.tell(notices);
  if (rooms.empty())
    run.problem("no room to check: the --room options name no inventory (see --help)");
  return rooms;
}

// This machine, scanned now as vernatto-scan scans it, and read back as its
// inventory would be.
std::vector<fleet::Machine> thisMachine(const Options& options, Run& run,
                                        bool errIsTerminal) {
  std::vector<fleet::Machine> rooms(1);
  fleet::Machine& room = rooms.front();
  const std::string host = platform::hostName();
  room.name = host.empty() ? "this-machine" : host.substr(0, host.find('.'));
  room.inventory.keepDetails();
  scan::ScanResult result;
  if (!scan::scanMachine(options.scanPaths, options.defaultPaths, "vernatto-project",
                         run.err, errIsTerminal, result)) {
    run.trouble = true;
    room.complete = false;
    return rooms;
  }
  std::istringstream inventory(scan::inventoryJson(result.plugins));
  std::string why;
  fleet::readMachine(inventory, room, why);
  return rooms;
}

}  // namespace

int runProject(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal) {
  Options options;
  std::string problem;
  const bool parsed = parseOptions(common::argumentsAfterProgram(args), options, problem);
  if (const std::optional<int> status =
          common::answerCommandLine("vernatto-project", parsed, problem, options.help,
                                    options.version, usageText(), out, err)) {
    return *status;
  }
  Run run{err, kProgram};
  std::vector<fleet::Notice> notices;
  const std::vector<ProjectFile> files =
      listProjects(options.projects, platform::pathSeparator(), notices);
  run.tell(notices);
  const std::vector<Project> projects =
      readProjects(files, options.uses, err, errIsTerminal, notices);
  run.tell(notices);

  std::vector<fleet::Machine> rooms;
  std::optional<Check> check;
  if (!options.list) {
    rooms = options.rooms.empty() ? thisMachine(options, run, errIsTerminal)
                                  : inventoryRooms(options, run, errIsTerminal);
    if (rooms.empty())
      return 2;
    check.emplace(projects, rooms, options.ignore);
  }
  const Answer answer{projects, rooms, check ? &*check : nullptr};

  const bool outputToStandardOutput =
      options.html == "-" || options.csv == "-" || options.json == "-";
  const std::pair<const std::string&, void (*)(const Answer&, std::ostream&)> outputs[] =
      {{options.json, writeJson}, {options.csv, writeCsv}, {options.html, writeHtml}};
  bool pageWritten = false;
  for (const auto& [path, write] : outputs) {
    if (path.empty())
      continue;
    const auto writeAnswer = [&, write = write](std::ostream& stream) {
      write(answer, stream);
    };
    if (const std::optional<std::string> failure =
            common::writeOutput(path, out, writeAnswer))
      run.problem(*failure);
    else
      pageWritten = pageWritten || write == writeHtml;
  }
  writeConsole(answer, options.all, options.uses, outputToStandardOutput ? err : out);
  if (pageWritten && options.open) {
    platform::openInViewer(
        std::filesystem::absolute(std::filesystem::u8path(options.html)).u8string());
  }
  if (run.trouble)
    return 2;
  return check && check->summary().anyLacking ? 1 : 0;
}

}  // namespace vernatto::project
