#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "inventory/inventory.h"

namespace vernatto::inventory {
namespace {

char lowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

unsigned char lowerByte(char c) {
  return static_cast<unsigned char>(lowerAscii(c));
}

// Compares as the lowered copies would, without making them. Texts that are
// equal byte for byte, the usual case for vendors, cost one memcmp.
int compareFolded(std::string_view a, std::string_view b) {
  if (a == b)
    return 0;
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    const unsigned char x = lowerByte(a[i]);
    const unsigned char y = lowerByte(b[i]);
    if (x != y)
      return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// The first 8 lowered bytes from `start` on, most significant first and
// padded with zero bytes, so that heads compare like the texts they begin.
std::uint64_t headOf(std::string_view text, std::size_t start) {
  std::uint64_t head = 0;
  for (std::size_t i = start; i < start + 8; ++i)
    head = head << 8 | (i < text.size() ? lowerByte(text[i]) : 0u);
  return head;
}

// What decides most comparisons, held compactly so that the sort rarely has
// to look at the entries: the vendor's rank among the inventory's lowered
// vendors and the first 16 lowered bytes of the name. Equal heads only say
// that the names begin alike; the entries then decide.
struct SortKey {
  std::uint32_t vendorRank;
  std::uint32_t index;
  std::uint64_t nameHead[2];
};

// An inventory stores each distinct vendor once, so a stored vendor is known
// by its address: looking one up hashes a pointer, not a text. A vendor
// stored twice only costs one more entry in the table.
struct ByAddress {
  std::size_t operator()(std::string_view text) const {
    return std::hash<const void*>()(text.data()) ^ text.size();
  }
  bool operator()(std::string_view a, std::string_view b) const {
    return a.data() == b.data() && a.size() == b.size();
  }
};

// Keys in entry order, ranking the lowered vendors once each: inventories
// list far fewer vendors than entries.
std::vector<SortKey> makeKeys(const Inventory& inventory) {
  std::unordered_map<std::string_view, std::uint32_t, ByAddress, ByAddress> ids;
  std::vector<SortKey> keys;
  keys.reserve(inventory.size());
  for (std::size_t i = 0; i < inventory.size(); ++i) {
    const PluginEntry& entry = inventory[i];
    const auto id = static_cast<std::uint32_t>(ids.size());
    keys.push_back({ids.try_emplace(entry.vendor, id).first->second,
                    static_cast<std::uint32_t>(i),
                    {headOf(entry.name, 0), headOf(entry.name, 8)}});
  }
  std::vector<std::pair<std::string, std::uint32_t>> lowered;
  for (const auto& [vendor, id] : ids)
    lowered.emplace_back(toLowerCopy(vendor), id);
  std::sort(lowered.begin(), lowered.end());
  std::vector<std::uint32_t> rankOfId(lowered.size());
  std::uint32_t rank = 0;
  for (std::size_t i = 0; i < lowered.size(); ++i) {
    rank += i > 0 && lowered[i].first != lowered[i - 1].first;
    rankOfId[lowered[i].second] = rank;
  }
  for (SortKey& key : keys)
    key.vendorRank = rankOfId[key.vendorRank];
  return keys;
}

// Puts each entry where `order` says (order[i] is the position of the entry
// that belongs at i) in place, moving each entry once along the cycles of the
// order: a sorted copy would double the largest structure of the run.
void applyOrder(std::vector<std::uint32_t>& order, Inventory& inventory) {
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start)
      continue;
    const PluginEntry held = inventory[start];
    std::size_t hole = start;
    for (std::size_t from = order[hole]; from != start; from = order[hole]) {
      inventory[hole] = inventory[from];
      order[hole] = static_cast<std::uint32_t>(hole);
      hole = from;
    }
    inventory[hole] = held;
    order[hole] = static_cast<std::uint32_t>(hole);
  }
}

}  // namespace

std::string toLowerCopy(std::string_view text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), lowerAscii);
  return lowered;
}

int compareEntries(const PluginEntry& a, const PluginEntry& b) {
  if (int c = compareFolded(a.vendor, b.vendor))
    return c;
  if (int c = compareFolded(a.name, b.name))
    return c;
  return compareFolded(a.technology, b.technology);
}

bool entryLess(const PluginEntry& a, const PluginEntry& b) {
  return compareEntries(a, b) < 0;
}

void sortInventory(Inventory& inventory) {
  std::vector<SortKey> keys = makeKeys(inventory);
  // Ties on every key fall back to the file order, so equivalent entries come
  // out the same way on every run and platform.
  const auto less = [&inventory](const SortKey& a, const SortKey& b) {
    if (a.vendorRank != b.vendorRank)
      return a.vendorRank < b.vendorRank;
    if (a.nameHead[0] != b.nameHead[0])
      return a.nameHead[0] < b.nameHead[0];
    if (a.nameHead[1] != b.nameHead[1])
      return a.nameHead[1] < b.nameHead[1];
    const PluginEntry& x = inventory[a.index];
    const PluginEntry& y = inventory[b.index];
    if (int c = compareFolded(x.name, y.name))
      return c < 0;
    if (int c = compareFolded(x.technology, y.technology))
      return c < 0;
    return a.index < b.index;
  };
  std::sort(keys.begin(), keys.end(), less);
  std::vector<std::uint32_t> order(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i)
    order[i] = keys[i].index;
  keys = std::vector<SortKey>();
  applyOrder(order, inventory);
}

}  // namespace vernatto::inventory
