#include "app/run.h"

#include <filesystem>
#include <ostream>
#include <system_error>

#include "common/paths.h"
#include "compare/pairing.h"
#include "inventory/inventory.h"
#include "platform/platform.h"
#include "report/report.h"

namespace vernatto::app {
namespace {

constexpr char kReportName[] = "Vernatto.html";

void pause(std::ostream& out) {
  out << "\nPress any key..." << std::endl;
  platform::waitForKey();
}

// The per-user folder, created when missing; empty when there is none to use.
std::string usableUserFolder() {
  const std::string folder = platform::userCacheFolder();
  if (folder.empty())
    return {};
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::u8path(folder), error);
  return error ? std::string() : folder;
}

// Opens the report at `path`. An installed copy usually sits in a folder
// that its users cannot write to, so when the file cannot be created there
// it goes to the per-user folder instead, and `path` says so. When neither
// opens, `path` stays and the stream is failed.
std::ofstream openReportWhereItFits(std::string& path) {
  std::ofstream report = report::openReport(path);
  if (report.is_open())
    return report;
  const std::string folder = usableUserFolder();
  if (folder.empty())
    return report;
  const std::string fallbackPath = folder + platform::pathSeparator() + kReportName;
  std::ofstream fallback = report::openReport(fallbackPath);
  if (!fallback.is_open())
    return report;
  path = fallbackPath;
  return fallback;
}

// Writes the report and says on `err` where it went, when not beside the
// program, or that it failed. Returns where the report is, or an empty text
// when it could not be written.
std::string writeReport(const std::vector<compare::EntryPair>& pairs,
                        const std::string& firstName, const std::string& secondName,
                        const std::string& folder, std::ostream& out, std::ostream& err) {
  const std::string besidePath = folder + kReportName;
  std::string path = besidePath;
  std::ofstream report = openReportWhereItFits(path);
  report::writeSections(pairs, firstName, secondName, out, report);
  if (!report::closeReport(report)) {
    err << "failed writing report \"" << path << "\"\n";
    return {};
  }
  if (path != besidePath)
    err << "report written to \"" << path << "\"\n";
  return path;
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  out << "Malvik's Vernatto" << std::endl << std::endl;
  out << "Reading source file" << std::endl;

  const char separator = platform::pathSeparator();
  const std::string folder = common::executableFolder(
      args.empty() ? std::string() : args[0], platform::executablePath(), separator);

  if (args.size() < 3) {
    out << "Not enough files to compare" << std::endl;
    pause(out);
    return -1;
  }
  const std::string& firstPath = args[1];
  const std::string& secondPath = args[2];

  inventory::Inventory first;
  inventory::Inventory second;
  inventory::readInventory(firstPath, first, out);
  inventory::readInventory(secondPath, second, out);

  const std::vector<compare::EntryPair> pairs = compare::pairEntries(first, second);
  const std::string reportPath =
      writeReport(pairs, common::displayName(firstPath, separator),
                  common::displayName(secondPath, separator), folder, out, err);
  pause(out);
  if (reportPath.empty())
    return 1;
  platform::openInViewer(reportPath);
  return 0;
}

}  // namespace vernatto::app
