// The HTML report page and the three findings, on the console and in the page.
#pragma once

#include <fstream>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "compare/pairing.h"

namespace vernatto::report {

// Returns the page head (document type, title and style sheet, up to the
// opening body tag) for `title`, which is inserted as it stands.
std::string htmlHead(const std::string& title);

// Creates or truncates the report file at the UTF-8 `path` as a text file
// and writes the page head and heading. A file that cannot be opened leaves
// the stream failed and not open; closeReport tells.
std::ofstream openReport(const std::string& path);

// Writes the page end and closes the report. Returns false if opening,
// any write or the close failed.
bool closeReport(std::ofstream& report);

// Writes the version mismatch, timestamp mismatch and in-sync sections: plain
// lines to `console` (each row ended by a newline and a flush) and HTML
// tables to `report`, where every inventory text and both display names are
// escaped.
void writeSections(const std::vector<compare::EntryPair>& pairs,
                   const std::string& firstName, const std::string& secondName,
                   std::ostream& console, std::ostream& report);

}  // namespace vernatto::report
