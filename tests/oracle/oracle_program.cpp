// The whole program with the document reader in place of the event-driven
// one. Linked instead of the program's reader, so that the benchmark can check
// that both produce the same console output and report on the same files.
#include "inventory/inventory.h"
#include "oracle/document_reader.h"

namespace vernatto::inventory {

void readInventory(const std::string& path, Inventory& inventory, std::ostream& out) {
  oracle::readInventoryByDocument(path, inventory, out);
}

}  // namespace vernatto::inventory
