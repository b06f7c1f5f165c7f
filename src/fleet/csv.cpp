#include <ostream>
#include <string>

#include "common/csv.h"
#include "fleet/outputs.h"

namespace vernatto::fleet {

using common::appendField;

void writeCsv(const Fleet& fleet, std::ostream& out) {
  const std::size_t machines = fleet.machines.size();
  std::string record = "\xEF\xBB\xBFvendor,name,technology,status,duplicate";
  for (const Machine& machine : fleet.machines) {
    record += ',';
    appendField(record, machine.complete ? machine.name : machine.name + " (incomplete)");
  }
  // With a reference, each other machine's verdict against it.
  for (std::size_t m = 0; fleet.hasReference() && m < machines; ++m) {
    if (m == fleet.reference)
      continue;
    record += ',';
    appendField(record,
                fleet.machines[m].name + " vs " + fleet.machines[fleet.reference].name);
  }
  record += "\r\n";
  std::string cell;
  fleet.table.forEach([&](const PluginRow& row) {
    appendField(record, row.key->vendor);
    record += ',';
    appendField(record, row.key->name);
    record += ',';
    appendField(record, row.key->technology);
    record += ',';
    record += statusWord(row.status);
    record += row.duplicate ? ",yes" : ",";
    for (std::size_t m = 0; m < machines; ++m) {
      record += ',';
      cell.clear();
      // Without the zone, spreadsheets take the time for a date and time.
      appendCellText(cell, row.on(m), appendText, false);
      appendField(record, row.on(m).unknown ? "?" : cell);
    }
    for (std::size_t m = 0; fleet.hasReference() && m < machines; ++m) {
      if (m != fleet.reference)
        record.append(",").append(
            versusWord(versusOf(row.on(m), row.on(fleet.reference))));
    }
    record += "\r\n";
    if (record.size() > (1u << 16)) {
      out << record;
      record.clear();
    }
  });
  out << record;
  out.flush();
}

}  // namespace vernatto::fleet
