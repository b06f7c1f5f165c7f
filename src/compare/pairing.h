// Pairing: the entries of two inventories that name the same plug-in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "inventory/inventory.h"

namespace vernatto::compare {

// One entry of the first inventory matched with one of the second.
struct EntryPair {
  std::string vendor;
  std::string name;
  std::string technology;
  std::string firstVersion;
  std::string secondVersion;
  std::uint64_t firstModifiedTime = 0;
  std::uint64_t secondModifiedTime = 0;
};

// Returns one pair for every first/second entry whose vendor, name and
// technology are byte-for-byte equal: in the first inventory's order, and for
// one first entry in the second inventory's order. Costs time in proportion
// to the sizes of both inventories plus the number of pairs.
std::vector<EntryPair> pairEntries(const inventory::Inventory& first,
                                   const inventory::Inventory& second);

}  // namespace vernatto::compare
