#include "compare/pairing.h"

#include <functional>
#include <string_view>

namespace vernatto::compare {
namespace {

using inventory::Inventory;
using inventory::PluginEntry;

constexpr std::uint32_t kNone = UINT32_MAX;

std::size_t keyHash(const PluginEntry& e) {
  const std::hash<std::string_view> hash;
  std::size_t h = hash(e.vendor);
  h = h * 1000003u ^ hash(e.name);
  return h * 1000003u ^ hash(e.technology);
}

bool sameKey(const PluginEntry& a, const PluginEntry& b) {
  return a.vendor == b.vendor && a.name == b.name && a.technology == b.technology;
}

// An open-addressing table over the second inventory. Each slot heads a chain
// of the entries with one key, linked through `next` in inventory order, so a
// lookup yields the partners in the order a full scan would meet them.
class KeyIndex {
 public:
  explicit KeyIndex(const Inventory& entries) : entries_(entries) {
    std::size_t capacity = 16;
    while (capacity < entries.size() * 2)
      capacity *= 2;
    slots_.assign(capacity, kNone);
    next_.assign(entries.size(), kNone);
    // Pushing in reverse onto each chain's head leaves every chain in
    // inventory order.
    for (std::size_t i = entries.size(); i-- > 0;) {
      const std::size_t slot = findSlot(entries[i]);
      next_[i] = slots_[slot];
      slots_[slot] = static_cast<std::uint32_t>(i);
    }
  }

  // The first entry with the key of `probe`, or kNone.
  std::uint32_t first(const PluginEntry& probe) const { return slots_[findSlot(probe)]; }
  std::uint32_t next(std::uint32_t index) const { return next_[index]; }

 private:
  std::size_t findSlot(const PluginEntry& probe) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = keyHash(probe) & mask;
    while (slots_[slot] != kNone && !sameKey(entries_[slots_[slot]], probe)) {
      slot = (slot + 1) & mask;
    }
    return slot;
  }

  const Inventory& entries_;
  std::vector<std::uint32_t> slots_;
  std::vector<std::uint32_t> next_;
};

}  // namespace

std::vector<EntryPair> pairEntries(const Inventory& first, const Inventory& second) {
  std::vector<EntryPair> pairs;
  const KeyIndex index(second);
  for (const PluginEntry& a : first) {
    for (auto j = index.first(a); j != kNone; j = index.next(j)) {
      pairs.push_back({&a, &second[j]});
    }
  }
  return pairs;
}

}  // namespace vernatto::compare
