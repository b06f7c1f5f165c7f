#include "project/options.h"

#include "common/command_line.h"

namespace vernatto::project {
namespace {

enum Which : std::size_t {
  kList,
  kRoom,
  kScanPath,
  kNoDefaultPaths,
  kIgnore,
  kUses,
  kHtml,
  kCsv,
  kJson,
  kOpen,
  kAll,
  kHelp,
  kVersion
};

const std::vector<common::KnownOption> kKnownOptions = {
    {"--list", "", false},     {"--room", "", true},
    {"--scan-path", "", true}, {"--no-default-paths", "", false},
    {"--ignore", "", true},    {"--uses", "", true},
    {"--html", "", true},      {"--csv", "", true},
    {"--json", "", true},      {"--open", "", false},
    {"--all", "", false},      {"--help", "-h", false},
    {"--version", "", false},
};

// The first option of `given` that the listing has no use for, or nullptr.
const char* firstNotForList(const Options& options) {
  if (!options.rooms.empty())
    return "--room";
  if (!options.ignore.empty())
    return "--ignore";
  if (!options.html.empty())
    return "--html";
  if (options.open)
    return "--open";
  if (!options.scanPaths.empty())
    return "--scan-path";
  if (!options.defaultPaths)
    return "--no-default-paths";
  return nullptr;
}

}  // namespace

bool parseOptions(const std::vector<std::string>& args, Options& options,
                  std::string& problem) {
  std::vector<common::FoundOption> found;
  if (!common::splitCommandLine(args, kKnownOptions, found, options.projects, problem))
    return false;
  for (common::FoundOption& option : found) {
    switch (option.which) {
      case kList:
        options.list = true;
        break;
      case kRoom:
        options.rooms.push_back(std::move(option.value));
        break;
      case kScanPath:
        options.scanPaths.push_back(std::move(option.value));
        break;
      case kNoDefaultPaths:
        options.defaultPaths = false;
        break;
      case kIgnore:
        options.ignore.push_back(std::move(option.value));
        break;
      case kUses:
        options.uses.push_back(std::move(option.value));
        break;
      case kHtml:
        options.html = std::move(option.value);
        break;
      case kCsv:
        options.csv = std::move(option.value);
        break;
      case kJson:
        options.json = std::move(option.value);
        break;
      case kOpen:
        options.open = true;
        break;
      case kAll:
        options.all = true;
        break;
      case kHelp:
        options.help = true;
        break;
      case kVersion:
        options.version = true;
        break;
    }
  }
  if (options.help || options.version)
    return true;
  if (options.list) {
    if (const char* option = firstNotForList(options)) {
      problem = std::string("--list compares nothing, so ") + option +
                " has no use with it (see --help)";
      return false;
    }
  }
  if (!common::checkOutputs(options.html, options.csv, options.json, options.open,
                            problem))
    return false;
  // The scan options describe this machine, which --room puts aside.
  if (!options.rooms.empty() && (!options.scanPaths.empty() || !options.defaultPaths)) {
    problem =
        std::string(options.scanPaths.empty() ? "--no-default-paths" : "--scan-path") +
        " scans this machine, which --room replaces (see --help)";
    return false;
  }
  if (!options.defaultPaths && options.scanPaths.empty()) {
    problem =
        "--no-default-paths leaves nothing to scan without --scan-path (see --help)";
    return false;
  }
  if (options.projects.empty()) {
    problem = "needs at least one project file or folder (see --help)";
    return false;
  }
  return true;
}

std::string usageText() {
  return "Usage: vernatto-project [--room INVENTORY]... [--scan-path DIR]...\n"
         "                        [--no-default-paths] [--ignore TEXT]... [--html FILE]\n"
         "                        [--csv FILE] [--json FILE] [--open] [--all]\n"
         "                        [--uses TEXT]... PROJECT...\n"
         "       vernatto-project --list [--json FILE] [--csv FILE] [--uses TEXT]...\n"
         "                        PROJECT...\n"
         "Reads the project files of nine hosts, says which plug-ins each project\n"
         "uses, and which rooms can open it. A PROJECT is a project file, or a\n"
         "folder searched for them. Without --room, the room is this machine.\n"
         "\n"
         "      --list              list what each project uses; compare nothing\n"
         "      --room INVENTORY    a room's inventory, or a folder of them\n"
         "      --scan-path DIR     scan DIR too when checking this machine\n"
         "      --no-default-paths  scan only the --scan-path folders\n"
         "      --ignore TEXT       take plug-ins whose vendor or name holds TEXT\n"
         "                          as the host's own: never missing\n"
         "      --uses TEXT         only plug-ins whose vendor or name holds TEXT,\n"
         "                          and the projects that use each\n"
         "      --html FILE         write the answer as a page (\"-\": standard output)\n"
         "      --csv FILE          write it as CSV for spreadsheets\n"
         "      --json FILE         write it as JSON for scripts\n"
         "      --open              open the page in the default viewer\n"
         "      --all               list the projects that open everywhere too\n"
         "  -h, --help              show this text\n"
         "      --version           show the program's version\n"
         "\n"
         "Exit status: 0 when every room opens every project, 1 when a room lacks\n"
         "a plug-in, 2 on trouble (a bad command line, a project or inventory not\n"
         "read whole, an output that could not be written). With --list: 0 when\n"
         "every project was read whole.\n";
}

}  // namespace vernatto::project
