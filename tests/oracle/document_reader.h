// The reference reader for the tests: it parses the whole inventory file into
// a JSON document first and then reads the entries out of that document, the
// plain way, so the event-driven reader of the program can be checked against
// it on any file.
#pragma once

#include <iosfwd>
#include <string>

#include "inventory/inventory.h"

namespace vernatto::oracle {

// Same contract as inventory::readInventory: writes the "File: " line, the
// failure line, the count line and the echo lines to `out`, appends one entry
// per element of the document's top-level array and sorts the inventory.
void readInventoryByDocument(std::istream& in, const std::string& path,
                             inventory::Inventory& inventory, std::ostream& out);

// The same for the file at `path`, a UTF-8 name.
void readInventoryByDocument(const std::string& path, inventory::Inventory& inventory,
                             std::ostream& out);

}  // namespace vernatto::oracle
