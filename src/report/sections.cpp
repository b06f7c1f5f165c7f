#include <ostream>

#include "report/report.h"

namespace vernatto::report {
namespace {

using compare::EntryPair;

enum class Finding { kVersionMismatch, kTimestampMismatch, kInSync };

// A pair with a first version is judged by its versions, one without by its
// times; so every pair has exactly one finding.
Finding classify(const EntryPair& p) {
  if (!p.first->version.empty()) {
    return p.first->version == p.second->version ? Finding::kInSync
                                                 : Finding::kVersionMismatch;
  }
  return p.first->modifiedTime == p.second->modifiedTime ? Finding::kInSync
                                                         : Finding::kTimestampMismatch;
}

void writeTableHead(std::ostream& report, const std::string& firstName,
                    const std::string& secondName) {
  report << "<table>\n<thead>\n<tr><th>Vendor</th><th>Plugin</th><th>Technology</th><th>";
  writeEscaped(report, firstName);
  report << "</th><th>";
  writeEscaped(report, secondName);
  report << "</th></tr>\n</thead>\n";
}

// Console and report rows begin alike: vendor, name and technology.
void writeKeys(const EntryPair& p, std::ostream& console, std::ostream& report) {
  console << p.first->vendor << " | " << p.first->name << " | " << p.first->technology
          << " | ";
  report << "<tr><td>";
  writeEscaped(report, p.first->vendor);
  report << "</td><td>";
  writeEscaped(report, p.first->name);
  report << "</td><td>";
  writeEscaped(report, p.first->technology);
  report << "</td><td>";
}

void writeVersionRow(const EntryPair& p, std::ostream& console, std::ostream& report) {
  writeKeys(p, console, report);
  console << p.first->version << " | " << p.second->version << std::endl;
  writeEscaped(report, p.first->version);
  report << "</td><td>";
  writeEscaped(report, p.second->version);
  report << "</td></tr>\n";
}

void writeTimestampRow(const EntryPair& p, std::ostream& console, std::ostream& report) {
  writeKeys(p, console, report);
  const bool firstIsNewer = p.second->modifiedTime < p.first->modifiedTime;
  console << (firstIsNewer ? "<-newer" : "->newer") << std::endl;
  report << (firstIsNewer ? "newer</td><td>&nbsp;" : "&nbsp;</td><td>newer")
         << "</td></tr>\n";
}

void writeInSyncRow(const EntryPair& p, std::ostream& console, std::ostream& report) {
  writeKeys(p, console, report);
  console << p.first->version << std::endl;
  writeEscaped(report, p.first->version);
  report << "</td></tr>\n";
}

}  // namespace

void writeEscaped(std::ostream& out, std::string_view text) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char* reference = nullptr;
    switch (text[i]) {
      case '&':
        reference = "&amp;";
        break;
      case '<':
        reference = "&lt;";
        break;
      case '>':
        reference = "&gt;";
        break;
      case '"':
        reference = "&quot;";
        break;
      case '\'':
        reference = "&#39;";
        break;
      default:
        continue;
    }
    out.write(text.data() + start, static_cast<std::streamsize>(i - start));
    out << reference;
    start = i + 1;
  }
  out.write(text.data() + start, static_cast<std::streamsize>(text.size() - start));
}

void writeSections(const std::vector<EntryPair>& pairs, const std::string& firstName,
                   const std::string& secondName, std::ostream& console,
                   std::ostream& report) {
  console << std::endl << "Version mismatch\n================\n";
  report << "<h2>Version Mismatch</h2>\n";
  writeTableHead(report, firstName, secondName);
  for (const EntryPair& p : pairs) {
    if (classify(p) == Finding::kVersionMismatch)
      writeVersionRow(p, console, report);
  }
  report << "</table>\n";

  console << std::endl << "Timestamp mismatch\n==================\n";
  report << "<h2>Timestamp Mismatch</h2>\n";
  writeTableHead(report, firstName, secondName);
  for (const EntryPair& p : pairs) {
    if (classify(p) == Finding::kTimestampMismatch)
      writeTimestampRow(p, console, report);
  }
  report << "</table>\n";

  console << std::endl << "In Sync\n=======\n";
  report << "<h2>In Sync</h2>\n<table>\n<thead>\n<tr><th>Vendor</th><th>Plugin</th>"
            "<th>Technology</th><th>version</th></tr>\n</thead>\n";
  for (const EntryPair& p : pairs) {
    if (classify(p) == Finding::kInSync)
      writeInSyncRow(p, console, report);
  }
  report << "</table>\n";
}

}  // namespace vernatto::report
