#include "scan/options.h"

namespace vernatto::scan {
namespace {

// Takes the value of an option that needs one, from "--name=VALUE", "-oVALUE"
// or the next argument. Returns false when there is none.
bool takeValue(const std::vector<std::string>& args, std::size_t& index,
               const std::string& inlineValue, bool hasInline, std::string& value) {
  if (hasInline) {
    value = inlineValue;
    return true;
  }
  if (index + 1 >= args.size())
    return false;
  value = args[++index];
  return true;
}

}  // namespace

bool parseOptions(const std::vector<std::string>& args, Options& options,
                  std::string& problem) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    std::string name = args[i];
    std::string inlineValue;
    bool hasInline = false;
    if (name.rfind("--", 0) == 0 && name.find('=') != std::string::npos) {
      inlineValue = name.substr(name.find('=') + 1);
      name = name.substr(0, name.find('='));
      hasInline = true;
    } else if (name.rfind("-o", 0) == 0 && name.size() > 2) {
      inlineValue = name.substr(2);
      name = "-o";
      hasInline = true;
    }
    std::string* target = nullptr;
    if (name == "-o" || name == "--output") {
      target = &options.output;
    } else if (name == "--path") {
      options.paths.emplace_back();
      target = &options.paths.back();
    } else if (!hasInline && (name == "--help" || name == "-h")) {
      options.help = true;
    } else if (!hasInline && name == "--version") {
      options.version = true;
    } else if (!hasInline && name == "--no-default-paths") {
      options.defaultPaths = false;
    } else {
      problem = (name.rfind('-', 0) == 0 ? "unknown option '" : "unexpected argument '") +
                args[i] + "' (see --help)";
      return false;
    }
    if (target != nullptr &&
        (!takeValue(args, i, inlineValue, hasInline, *target) || target->empty())) {
      problem = "option '" + name + "' needs a non-empty value (see --help)";
      return false;
    }
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
