// What the fleet program writes: the console, and the page, CSV and JSON.
// Each writes to a stream as it goes, so that no output is built whole.
#pragma once

#include <iosfwd>
#include <string_view>
#include <vector>

#include "fleet/machines.h"
#include "fleet/plugins.h"

namespace vernatto::fleet {

// The machines and their comparison, as the writers take them.
struct Fleet {
  const std::vector<Machine>& machines;
  const PluginTable& table;
  std::size_t reference;  // a machine's index, or machines.size() for none
  bool hasReference() const { return reference < machines.size(); }
};

// The summary line, the plug-ins that are not alike (with `all`, every one)
// under their status, and one line per machine.
void writeConsole(const Fleet& fleet, bool all, std::ostream& out);

// The comparison as JSON, in the layout the scanner writes: two-space indent,
// UTF-8, a final newline.
void writeJson(const Fleet& fleet, std::ostream& out);

// The comparison as CSV (RFC 4180) with a byte order mark and CR LF line
// ends; no field starts with a character that makes a spreadsheet formula.
void writeCsv(const Fleet& fleet, std::ostream& out);

// The comparison as one self-contained HTML page.
void writeHtml(const Fleet& fleet, std::ostream& out);

// The word for `status` in every output: missing, version, time or alike.
std::string_view statusWord(Status status);

// The word for `versus` in the file outputs ("older", ...); empty for none.
std::string_view versusWord(Versus versus);

}  // namespace vernatto::fleet
