#include <ostream>

#include "common/html.h"
#include "report/report.h"

namespace vernatto::report {
namespace {

using common::appendEscaped;
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

// One pair's console line and report row, built whole and then written at
// once: a million rows of piecewise stream insertions cost more than the text.
struct Row {
  std::string line;
  std::string html;

  // Both begin alike: vendor, name and technology.
  void begin(const EntryPair& p) {
    const inventory::PluginEntry& e = *p.first;
    line.assign(e.vendor).append(" | ").append(e.name).append(" | ");
    line.append(e.technology).append(" | ");
    html.assign("<tr><td>");
    appendEscaped(html, e.vendor);
    html.append("</td><td>");
    appendEscaped(html, e.name);
    html.append("</td><td>");
    appendEscaped(html, e.technology);
    html.append("</td><td>");
  }

  // The console line ends with a newline and a flush, as every line does.
  void write(std::ostream& console, std::ostream& report) {
    line += '\n';
    console.write(line.data(), static_cast<std::streamsize>(line.size()));
    console.flush();
    html.append("</td></tr>\n");
    report.write(html.data(), static_cast<std::streamsize>(html.size()));
  }
};

void fillVersionRow(const EntryPair& p, Row& row) {
  row.line.append(p.first->version).append(" | ").append(p.second->version);
  appendEscaped(row.html, p.first->version);
  row.html.append("</td><td>");
  appendEscaped(row.html, p.second->version);
}

void fillTimestampRow(const EntryPair& p, Row& row) {
  const bool firstIsNewer = p.second->modifiedTime < p.first->modifiedTime;
  row.line.append(firstIsNewer ? "<-newer" : "->newer");
  row.html.append(firstIsNewer ? "newer</td><td>&nbsp;" : "&nbsp;</td><td>newer");
}

void fillInSyncRow(const EntryPair& p, Row& row) {
  row.line.append(p.first->version);
  appendEscaped(row.html, p.first->version);
}

void writeTableHead(std::ostream& report, const std::string& firstName,
                    const std::string& secondName) {
  std::string head =
      "<table>\n<thead>\n<tr><th>Vendor</th><th>Plugin</th><th>Technology</th><th>";
  appendEscaped(head, firstName);
  head.append("</th><th>");
  appendEscaped(head, secondName);
  head.append("</th></tr>\n</thead>\n");
  report << head;
}

// Writes the rows of the pairs with `finding`, filled in by `fill`.
void writeRows(const std::vector<EntryPair>& pairs, Finding finding,
               void (*fill)(const EntryPair&, Row&), std::ostream& console,
               std::ostream& report) {
  Row row;
  for (const EntryPair& p : pairs) {
    if (classify(p) != finding)
      continue;
    row.begin(p);
    fill(p, row);
    row.write(console, report);
  }
  report << "</table>\n";
}

}  // namespace

void writeSections(const std::vector<EntryPair>& pairs, const std::string& firstName,
                   const std::string& secondName, std::ostream& console,
                   std::ostream& report) {
  console << std::endl << "Version mismatch\n================\n";
  report << "<h2>Version Mismatch</h2>\n";
  writeTableHead(report, firstName, secondName);
  writeRows(pairs, Finding::kVersionMismatch, fillVersionRow, console, report);

  console << std::endl << "Timestamp mismatch\n==================\n";
  report << "<h2>Timestamp Mismatch</h2>\n";
  writeTableHead(report, firstName, secondName);
  writeRows(pairs, Finding::kTimestampMismatch, fillTimestampRow, console, report);

  console << std::endl << "In Sync\n=======\n";
  report << "<h2>In Sync</h2>\n<table>\n<thead>\n<tr><th>Vendor</th><th>Plugin</th>"
            "<th>Technology</th><th>version</th></tr>\n</thead>\n";
  writeRows(pairs, Finding::kInSync, fillInSyncRow, console, report);
}

}  // namespace vernatto::report
