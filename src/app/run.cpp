#include "app/run.h"

#include <ostream>

#include "compare/pairing.h"
#include "inventory/inventory.h"
#include "platform/platform.h"
#include "report/report.h"

namespace vernatto::app {
namespace {

void pause(std::ostream& out) {
  out << "\nPress any key..." << std::endl;
  platform::waitForKey();
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  out << "Malvik's Vernatto" << std::endl << std::endl;
  out << "Reading source file" << std::endl;

  const char separator = platform::pathSeparator();
  const std::string folder = executableFolder(args.empty() ? std::string() : args[0],
                                              platform::executablePath(), separator);

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

  const std::string reportPath = folder + "Vernatto.html";
  std::ofstream report = report::openReport(reportPath);
  report::writeSections(pairs, displayName(firstPath, separator),
                        displayName(secondPath, separator), out, report);
  const bool written = report::closeReport(report);
  if (!written)
    err << "failed writing report \"" << reportPath << "\"\n";

  pause(out);
  if (!written)
    return 1;
  platform::openInViewer(reportPath);
  return 0;
}

}  // namespace vernatto::app
