#include "scan/options.h"

#include "common/command_line.h"

namespace vernatto::scan {
namespace {

enum Which : std::size_t { kOutput, kPath, kNoDefaultPaths, kHelp, kVersion };

const std::vector<common::KnownOption> kKnownOptions = {
    {"--output", "-o", true}, {"--path", "", true},     {"--no-default-paths", "", false},
    {"--help", "-h", false},  {"--version", "", false},
};

}  // namespace

bool parseOptions(const std::vector<std::string>& args, Options& options,
                  std::string& problem) {
  std::vector<common::FoundOption> found;
  std::vector<std::string> operands;
  if (!common::splitCommandLine(args, kKnownOptions, found, operands, problem))
    return false;
  if (!operands.empty()) {
    problem = "unexpected argument '" + operands.front() + "' (see --help)";
    return false;
  }
  for (common::FoundOption& option : found) {
    switch (option.which) {
      case kOutput:
        options.output = std::move(option.value);
        break;
      case kPath:
        options.paths.push_back(std::move(option.value));
        break;
      case kNoDefaultPaths:
        options.defaultPaths = false;
        break;
      case kHelp:
        options.help = true;
        break;
      case kVersion:
        options.version = true;
        break;
    }
  }
  if (!options.defaultPaths && options.paths.empty()) {
    problem = "--no-default-paths leaves nothing to scan without --path (see --help)";
    return false;
  }
  return true;
}

std::string usageText() {
  return "Usage: vernatto-scan [-o FILE] [--path DIR]... [--no-default-paths]\n"
         "Writes the inventory of the plug-ins installed on this machine as JSON,\n"
         "reading metadata files and binary headers only: no plug-in is loaded.\n"
         "\n"
         "  -o, --output FILE    write the inventory to FILE (\"-\": standard output)\n"
         "      --path DIR       scan DIR as well (repeatable)\n"
         "      --no-default-paths  scan only the --path folders\n"
         "  -h, --help           show this text\n"
         "      --version        show the program's version\n"
         "\n"
         "Exit status: 0 after a scan (also when some files could not be read),\n"
         "1 when the inventory cannot be written, 2 for a wrong command line.\n";
}

}  // namespace vernatto::scan
