// The project program's command line.
#pragma once

#include <string>
#include <vector>

namespace vernatto::project {

struct Options {
  std::vector<std::string> projects;   // files and folders, in the order given
  std::vector<std::string> rooms;      // inventory files and folders
  std::vector<std::string> scanPaths;  // for the scan of this machine
  bool defaultPaths = true;
  std::vector<std::string> ignore;  // texts of host-bundled plug-ins
  std::vector<std::string> uses;    // texts of the plug-ins to follow
  std::string html;                 // output files; "-" is standard output
  std::string csv;
  std::string json;
  bool list = false;
  bool open = false;
  bool all = false;
  bool help = false;
  bool version = false;
};

// Parses the arguments after the program name. Returns false, with `problem`
// holding one line, for an unknown option, a missing value, "-" for more than
// one output, --open without a page written to a file, options that --list
// or --room leave without meaning, or no project.
bool parseOptions(const std::vector<std::string>& args, Options& options,
                  std::string& problem);

// The text --help prints, ending in a newline.
std::string usageText();

}  // namespace vernatto::project
