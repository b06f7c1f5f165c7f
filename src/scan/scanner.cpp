#include <chrono>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "common/atomic_file.h"
#include "common/command_line.h"
#include "common/progress.h"
#include "platform/scan_system.h"
#include "scan/describe.h"
#include "scan/discover.h"
#include "scan/options.h"
#include "scan/output.h"
#include "scan/scanner.h"

namespace vernatto::scan {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kProgram = "vernatto-scan: ";

// The lines on standard error: problems as they come, and on a terminal a
// progress line that each of them first wipes.
class Console {
 public:
  Console(std::ostream& err, bool terminal, std::string_view program)
      : err_(err), progress_(err, terminal), program_(program) {}

  void problems(const std::vector<std::string>& lines, std::size_t& printed) {
    for (; printed < lines.size(); ++printed) {
      progress_.wipe();
      err_ << program_ << ": " << lines[printed] << '\n';
    }
    err_.flush();
  }

  void progress(const ScanResult& result) {
    if (progress_.due()) {
      progress_.show("scanning: " + std::to_string(result.plugins.size()) +
                     " plug-ins found, " + std::to_string(result.filesRead) +
                     " files read");
    }
  }

  void wipe() { progress_.wipe(); }

 private:
  std::ostream& err_;
  common::ProgressLine progress_;
  std::string_view program_;
};

std::vector<std::pair<std::string, bool>> rootsOf(const std::vector<std::string>& paths,
                                                  bool defaultPaths) {
  std::vector<std::pair<std::string, bool>> roots;
  if (defaultPaths) {
    for (const std::string& folder :
         defaultFolders(platform::thisSystem(), processEnvironment())) {
      roots.emplace_back(folder, false);
    }
  }
  for (const std::string& folder : paths)
    roots.emplace_back(folder, true);
  return roots;
}

ScanResult scan(const std::vector<std::string>& paths, bool defaultPaths,
                Console& console) {
  Discovery discovery;
  std::size_t printed = 0;
  for (const auto& [folder, mustExist] : rootsOf(paths, defaultPaths)) {
    discover(fs::u8path(folder), mustExist, discovery);
    console.problems(discovery.problems, printed);
  }
  ScanResult result;
  result.filesSkipped = discovery.skipped;
  printed = 0;
  std::vector<fs::path> lv2Bundles;
  for (const Candidate& candidate : discovery.candidates) {
    if (candidate.kind == Kind::kLv2Bundle) {
      lv2Bundles.push_back(candidate.path);
      continue;
    }
    describe(candidate, result);
    console.problems(result.problems, printed);
    console.progress(result);
  }
  describeLv2(lv2Bundles, result);
  console.problems(result.problems, printed);
  console.wipe();
  return result;
}

// Whether every --path folder can be scanned: one that does not exist or
// cannot be listed is trouble, not a room with nothing installed, so that a
// mistyped path never passes for a clean scan. Says why on `err`.
bool pathsReadable(const std::vector<std::string>& paths, std::string_view program,
                   std::ostream& err) {
  bool readable = true;
  for (const std::string& folder : paths) {
    std::error_code error;
    const fs::path path = fs::u8path(folder);
    const fs::file_status status = fs::status(path, error);
    std::string why;
    if (!fs::exists(status)) {
      why = "no such folder";
    } else if (fs::is_directory(status)) {
      fs::directory_iterator listing(path, error);
      if (error)
        why = "cannot read folder: " + error.message();
    }
    if (!why.empty()) {
      err << program << ": " << folder << ": " << why << '\n';
      readable = false;
    }
  }
  return readable;
}

std::string summary(const ScanResult& result, Clock::duration elapsed) {
  char seconds[32];
  std::snprintf(seconds, sizeof seconds, "%.2f",
                std::chrono::duration<double>(elapsed).count());
  return std::string(kProgram) + std::to_string(result.plugins.size()) +
         " plug-ins found, " + std::to_string(result.filesRead) + " files read, " +
         std::to_string(result.filesSkipped) + " files skipped, " + seconds + " s\n";
}

bool writeOutput(const Options& options, const std::string& json, std::ostream& out,
                 std::ostream& err) {
  std::string problem;
  if (options.output.empty() || options.output == "-") {
    out << json << std::flush;
    if (out)
      return true;
    problem = "cannot write the inventory to standard output";
  } else if (common::writeFileAtomically(options.output, json, problem)) {
    return true;
  } else {
    problem = "cannot write \"" + options.output + "\": " + problem;
  }
  err << kProgram << problem << '\n';
  return false;
}

}  // namespace

bool scanMachine(const std::vector<std::string>& paths, bool defaultPaths,
                 std::string_view program, std::ostream& err, bool errIsTerminal,
                 ScanResult& result) {
  if (!pathsReadable(paths, program, err))
    return false;
  Console console(err, errIsTerminal, program);
  result = scan(paths, defaultPaths, console);
  sortFound(result.plugins);
  return true;
}

int runScanner(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               bool errIsTerminal) {
  Options options;
  std::string problem;
  const bool parsed = parseOptions(common::argumentsAfterProgram(args), options, problem);
  if (const std::optional<int> status =
          common::answerCommandLine("vernatto-scan", parsed, problem, options.help,
                                    options.version, usageText(), out, err)) {
    return *status;
  }
  const Clock::time_point start = Clock::now();
  ScanResult result;
  if (!scanMachine(options.paths, options.defaultPaths, "vernatto-scan", err,
                   errIsTerminal, result)) {
    err << kProgram << "nothing scanned, no inventory written" << std::endl;
    return 2;
  }
  const bool written = writeOutput(options, inventoryJson(result.plugins), out, err);
  err << summary(result, Clock::now() - start) << std::flush;
  return written ? 0 : 1;
}

}  // namespace vernatto::scan
