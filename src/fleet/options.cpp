#include "fleet/options.h"

#include "common/command_line.h"

namespace vernatto::fleet {
namespace {

enum Which : std::size_t { kReference, kHtml, kCsv, kJson, kOpen, kAll, kHelp, kVersion };

const std::vector<common::KnownOption> kKnownOptions = {
    {"--reference", "", true}, {"--html", "", true},     {"--csv", "", true},
    {"--json", "", true},      {"--open", "", false},    {"--all", "", false},
    {"--help", "-h", false},   {"--version", "", false},
};

}  // namespace

bool parseOptions(const std::vector<std::string>& args, Options& options,
                  std::string& problem) {
  std::vector<common::FoundOption> found;
  if (!common::splitCommandLine(args, kKnownOptions, found, options.inventories, problem))
    return false;
  for (common::FoundOption& option : found) {
    switch (option.which) {
      case kReference:
        options.reference = std::move(option.value);
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
  return common::checkOutputs(options.html, options.csv, options.json, options.open,
                              problem);
}

std::string usageText() {
  return "Usage: vernatto-fleet [--reference NAME] [--html FILE] [--csv FILE] [--json "
         "FILE]\n"
         "                      [--open] [--all] INVENTORY...\n"
         "Compares the plug-in inventories of every machine at once and shows what\n"
         "is missing where and what differs. An INVENTORY is a file, or a folder\n"
         "whose *.json files are each one machine, named after the file.\n"
         "\n"
         "      --reference NAME  also judge every machine against machine NAME\n"
         "      --html FILE       write the comparison as a page (\"-\": standard "
         "output)\n"
         "      --csv FILE        write it as CSV for spreadsheets\n"
         "      --json FILE       write it as JSON for scripts\n"
         "      --open            open the page in the default viewer\n"
         "      --all             list the plug-ins that are alike too\n"
         "  -h, --help            show this text\n"
         "      --version         show the program's version\n"
         "\n"
         "Exit status: 0 when every machine has every plug-in alike, 1 when not,\n"
         "2 on trouble (a bad command line, an inventory that could not be read\n"
         "whole, an output that could not be written).\n";
}

}  // namespace vernatto::fleet
