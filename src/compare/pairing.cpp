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

// An open-addressing table over a run of entries. Each slot heads a chain of
// the entries with one key, linked through `next` in their order, so a lookup
// yields the partners in the order a full scan would meet them.
class KeyIndex {
 public:
  KeyIndex(const PluginEntry* entries, std::size_t count) : entries_(entries) {
    std::size_t capacity = 16;
    while (capacity < count * 2)
      capacity *= 2;
    slots_.assign(capacity, kNone);
    next_.assign(count, kNone);
    // Pushing in reverse onto each chain's head leaves every chain in order.
    for (std::size_t i = count; i-- > 0;) {
      const std::size_t slot = findSlot(entries[i]);
      next_[i] = slots_[slot];
      slots_[slot] = static_cast<std::uint32_t>(i);
    }
  }

  // The position of the first entry with the key of `probe`, or kNone.
  std::uint32_t first(const PluginEntry& probe) const { return slots_[findSlot(probe)]; }
  std::uint32_t next(std::uint32_t index) const { return next_[index]; }

 private:
  std::size_t findSlot(const PluginEntry& probe) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t slot = keyHash(probe) & mask;
    while (slots_[slot] != kNone && !sameKey(entries_[slots_[slot]], probe))
      slot = (slot + 1) & mask;
    return slot;
  }

  const PluginEntry* entries_;
  std::vector<std::uint32_t> slots_;
  std::vector<std::uint32_t> next_;
};

// Consecutive entries; `end` is one past the last.
struct Run {
  const PluginEntry* begin;
  const PluginEntry* end;
  std::size_t size() const { return static_cast<std::size_t>(end - begin); }
};

// Up to this many candidate pairs in a run, comparing them all beats indexing.
constexpr std::size_t kDirectLimit = 64;

// Appends the pairs of every entry of `a` with its exact partners in `b`.
void pairRuns(Run a, Run b, std::vector<EntryPair>& pairs) {
  if (a.size() * b.size() <= kDirectLimit) {
    for (const PluginEntry* x = a.begin; x != a.end; ++x) {
      for (const PluginEntry* y = b.begin; y != b.end; ++y) {
        if (sameKey(*x, *y))
          pairs.push_back({x, y});
      }
    }
    return;
  }
  const KeyIndex index(b.begin, b.size());
  for (const PluginEntry* x = a.begin; x != a.end; ++x) {
    for (auto j = index.first(*x); j != kNone; j = index.next(j))
      pairs.push_back({x, b.begin + j});
  }
}

// The end of the run of entries from `from` on that the order holds equivalent.
const PluginEntry* equivalentEnd(const PluginEntry* from, const PluginEntry* end) {
  const PluginEntry* last = from + 1;
  while (last != end && inventory::compareEntries(*from, *last) == 0)
    ++last;
  return last;
}

}  // namespace

std::vector<EntryPair> pairEntries(const Inventory& first, const Inventory& second) {
  std::vector<EntryPair> pairs;
  // Entries with equal keys are equivalent in the order, so partners can only
  // meet within runs of equivalent entries, and one merge pass finds them.
  const PluginEntry* a = first.data();
  const PluginEntry* b = second.data();
  const PluginEntry* const aEnd = a + first.size();
  const PluginEntry* const bEnd = b + second.size();
  while (a != aEnd && b != bEnd) {
    const int order = inventory::compareEntries(*a, *b);
    if (order < 0) {
      ++a;
    } else if (order > 0) {
      ++b;
    } else {
      const Run runA{a, equivalentEnd(a, aEnd)};
      const Run runB{b, equivalentEnd(b, bEnd)};
      pairRuns(runA, runB, pairs);
      a = runA.end;
      b = runB.end;
    }
  }
  return pairs;
}

}  // namespace vernatto::compare
