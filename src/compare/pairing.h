// Pairing: the entries of two inventories that name the same plug-in.
#pragma once

#include <vector>

#include "inventory/inventory.h"

namespace vernatto::compare {

// One entry of the first inventory matched with one of the second. It refers
// to the two entries rather than copying their texts: a million pairs of
// copied texts would cost more memory than an inventory. The inventories must
// therefore outlive the pairs and stay unchanged while the pairs are used.
// Vendor, name and technology are the first entry's, which the second's equal.
struct EntryPair {
  const inventory::PluginEntry* first = nullptr;
  const inventory::PluginEntry* second = nullptr;
};

// Returns one pair for every first/second entry whose vendor, name and
// technology are byte-for-byte equal: in the first inventory's order, and for
// one first entry in the second inventory's order. Both inventories must be
// sorted by entryLess, as readInventory leaves them. Costs time in proportion
// to the sizes of both inventories plus the number of pairs.
std::vector<EntryPair> pairEntries(const inventory::Inventory& first,
                                   const inventory::Inventory& second);

}  // namespace vernatto::compare
