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

constexpr std::size_t kHeads = 3;
constexpr std::size_t kHeadBytes = 8 * kHeads;

// What decides a comparison, held compactly so that the sort rarely has to
// look at the entries: the ranks of vendor and technology, and the name's
// first lowered bytes and length. A name no longer than its head is decided
// by head and length (with equal heads the shorter is a prefix of the other).
struct SortKey {
  std::uint32_t vendorRank;
  std::uint32_t technologyRank;
  std::uint64_t nameHead[kHeads];
  std::uint32_t nameSize;
  std::uint32_t index;
};

// An inventory stores each distinct vendor and technology once, so a stored
// text is known by its address: looking one up hashes a pointer, not a text.
// A text stored twice only costs one more entry in the table.
struct ByAddress {
  std::size_t operator()(std::string_view text) const {
    return std::hash<const void*>()(text.data()) ^ text.size();
  }
  bool operator()(std::string_view a, std::string_view b) const {
    return a.data() == b.data() && a.size() == b.size();
  }
};

// Sets `rank` of each key to the rank of its entry's lowered `field` among
// the distinct lowered values of that field. Inventories list far fewer
// vendors and technologies than entries, so each distinct one is lowered once.
void rankBy(const Inventory& inventory, std::string_view PluginEntry::*field,
            std::uint32_t SortKey::*rank, std::vector<SortKey>& keys) {
  std::unordered_map<std::string_view, std::uint32_t, ByAddress, ByAddress> ids;
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const auto id = static_cast<std::uint32_t>(ids.size());
    keys[i].*rank = ids.try_emplace(inventory[i].*field, id).first->second;
  }
  std::vector<std::pair<std::string, std::uint32_t>> lowered;
  for (const auto& [text, id] : ids)
    lowered.emplace_back(toLowerCopy(text), id);
  std::sort(lowered.begin(), lowered.end());
  std::vector<std::uint32_t> rankOfId(lowered.size());
  std::uint32_t next = 0;
  for (std::size_t i = 0; i < lowered.size(); ++i) {
    next += i > 0 && lowered[i].first != lowered[i - 1].first;
    rankOfId[lowered[i].second] = next;
  }
  for (SortKey& key : keys)
    key.*rank = rankOfId[key.*rank];
}

std::vector<SortKey> makeKeys(const Inventory& inventory) {
  std::vector<SortKey> keys(inventory.size());
  for (std::size_t i = 0; i < keys.size(); ++i) {
    const std::string_view name = inventory[i].name;
    SortKey& key = keys[i];
    for (std::size_t h = 0; h < kHeads; ++h)
      key.nameHead[h] = headOf(name, 8 * h);
    key.nameSize =
        static_cast<std::uint32_t>(std::min<std::size_t>(name.size(), UINT32_MAX));
    key.index = static_cast<std::uint32_t>(i);
  }
  rankBy(inventory, &PluginEntry::vendor, &SortKey::vendorRank, keys);
  rankBy(inventory, &PluginEntry::technology, &SortKey::technologyRank, keys);
  return keys;
}

// Orders two names whose heads are equal, like compareFolded.
int compareNameRest(const SortKey& a, const SortKey& b, const Inventory& inventory) {
  if (a.nameSize <= kHeadBytes || b.nameSize <= kHeadBytes)
    return a.nameSize == b.nameSize ? 0 : (a.nameSize < b.nameSize ? -1 : 1);
  return compareFolded(inventory[a.index].name.substr(kHeadBytes),
                       inventory[b.index].name.substr(kHeadBytes));
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
    for (std::size_t h = 0; h < kHeads; ++h) {
      if (a.nameHead[h] != b.nameHead[h])
        return a.nameHead[h] < b.nameHead[h];
    }
    if (int c = compareNameRest(a, b, inventory))
      return c < 0;
    if (a.technologyRank != b.technologyRank)
      return a.technologyRank < b.technologyRank;
    return a.index < b.index;
  };
  std::sort(keys.begin(), keys.end(), less);
  std::vector<std::uint32_t> order(keys.size());
  for (std::size_t i = 0; i < keys.size(); ++i)
    order[i] = keys[i].index;
  keys = std::vector<SortKey>();
  applyOrder(order, inventory);
  inventory.storeTextsInOrder();
}

}  // namespace vernatto::inventory
