#include <algorithm>
#include <cstdint>
#include <numeric>
#include <string_view>
#include <unordered_map>

#include "inventory/inventory.h"

namespace vernatto::inventory {
namespace {

char lowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// Bytewise "less" on unsigned byte values, as std::string's char_traits give.
int compareBytes(std::string_view a, std::string_view b) {
  return a.compare(b);
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

// The rank of each entry's lowered vendor among the distinct lowered vendors
// of `inventory`, in entry order. Inventories list far fewer vendors than
// entries, so the vendors are lowered and sorted once each.
std::vector<std::uint32_t> vendorRanks(const Inventory& inventory) {
  std::unordered_map<std::string, std::uint32_t> ids;
  std::vector<std::uint32_t> ranks(inventory.size());
  for (std::size_t i = 0; i < inventory.size(); ++i) {
    const std::string lowered = toLowerCopy(inventory[i].vendor);
    auto found = ids.find(lowered);
    if (found == ids.end())
      found = ids.emplace(lowered, static_cast<std::uint32_t>(ids.size())).first;
    ranks[i] = found->second;  // the vendor's id for now
  }
  std::vector<const std::string*> byId(ids.size());
  for (const auto& [vendor, id] : ids)
    byId[id] = &vendor;
  std::vector<std::uint32_t> order(ids.size());
  std::iota(order.begin(), order.end(), 0u);
  std::sort(order.begin(), order.end(), [&byId](std::uint32_t a, std::uint32_t b) {
    return compareBytes(*byId[a], *byId[b]) < 0;
  });
  std::vector<std::uint32_t> rankOfId(ids.size());
  for (std::size_t rank = 0; rank < order.size(); ++rank)
    rankOfId[order[rank]] = static_cast<std::uint32_t>(rank);
  for (std::uint32_t& rank : ranks)
    rank = rankOfId[rank];
  return ranks;
}

std::vector<SortKey> makeKeys(const Inventory& inventory) {
  const std::vector<std::uint32_t> ranks = vendorRanks(inventory);
  std::vector<SortKey> keys;
  keys.reserve(inventory.size());
  for (std::size_t i = 0; i < inventory.size(); ++i) {
    const std::string& name = inventory[i].name;
    keys.push_back(
        {ranks[i], static_cast<std::uint32_t>(i), {headOf(name, 0), headOf(name, 8)}});
  }
  return keys;
}

// How many entries ahead along a cycle applyOrder asks the memory for.
constexpr int kPrefetchDistance = 16;

void prefetchEntry(const PluginEntry& entry) {
  const char* bytes = reinterpret_cast<const char*>(&entry);
  for (std::size_t offset = 0; offset < sizeof(PluginEntry); offset += 64)
    __builtin_prefetch(bytes + offset);
}

// Moves the entries into `order` (order[i] is the position of the entry that
// belongs at i) in place: a second inventory would double the memory of the
// largest structure of the run. Following a cycle makes each step wait for a
// random read of an entry, so the entries a few steps ahead are prefetched;
// the compact order itself stays in cache. Each position of `order` is reset
// to itself once its entry is in place.
void applyOrder(std::vector<std::uint32_t>& order, Inventory& inventory) {
  for (std::size_t start = 0; start < order.size(); ++start) {
    if (order[start] == start)
      continue;
    std::size_t ahead = order[start];
    for (int i = 0; i < kPrefetchDistance && ahead != start; ++i) {
      prefetchEntry(inventory[ahead]);
      ahead = order[ahead];
    }
    PluginEntry held = std::move(inventory[start]);
    std::size_t hole = start;
    while (order[hole] != start) {
      if (ahead != start) {
        prefetchEntry(inventory[ahead]);
        ahead = order[ahead];
      }
      const std::size_t from = order[hole];
      inventory[hole] = std::move(inventory[from]);
      order[hole] = static_cast<std::uint32_t>(hole);
      hole = from;
    }
    inventory[hole] = std::move(held);
    order[hole] = static_cast<std::uint32_t>(hole);
  }
}

}  // namespace

std::string toLowerCopy(const std::string& text) {
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
