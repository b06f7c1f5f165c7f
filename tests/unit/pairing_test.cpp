#include <gtest/gtest.h>

#include <random>

#include "compare/pairing.h"

namespace vernatto::compare {
namespace {

using inventory::Inventory;
using inventory::PluginEntry;

// The plain definition: every first entry against every second entry.
std::vector<EntryPair> nestedLoopPairs(const Inventory& first, const Inventory& second) {
  std::vector<EntryPair> pairs;
  for (const PluginEntry& a : first) {
    for (const PluginEntry& b : second) {
      if (a.vendor == b.vendor && a.name == b.name && a.technology == b.technology) {
        pairs.push_back({&a, &b});
      }
    }
  }
  return pairs;
}

// Each pair as the positions of its two entries, so that a pair with the
// wrong one of two equal duplicates shows.
std::string describe(const std::vector<EntryPair>& pairs, const Inventory& first,
                     const Inventory& second) {
  std::string text;
  for (const EntryPair& p : pairs) {
    text += std::to_string(p.first - first.data()) + "-" +
            std::to_string(p.second - second.data()) + " ";
  }
  return text;
}

// Few distinct keys with case variants, so duplicates and near-misses abound.
Inventory randomInventory(std::mt19937& random, std::size_t size) {
  const std::string vendors[] = {"Acme", "acme", "ACME", "Zed", ""};
  const std::string names[] = {"Comp", "comp", "Verb", std::string("V\0b", 3)};
  const std::string technologies[] = {"VST3", "vst3", "AU"};
  Inventory entries;
  for (std::size_t i = 0; i < size; ++i) {
    entries.push_back({vendors[random() % 5], names[random() % 4],
                       std::to_string(random() % 3), technologies[random() % 3],
                       random() % 4});
  }
  return entries;
}

TEST(PairEntries, MatchesTheNestedLoopExactly) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 300; ++round) {
    Inventory first = randomInventory(random, random() % 60);
    Inventory second = randomInventory(random, random() % 60);
    inventory::sortInventory(first);
    inventory::sortInventory(second);
    ASSERT_EQ(describe(pairEntries(first, second), first, second),
              describe(nestedLoopPairs(first, second), first, second))
        << "round " << round;
  }
}

TEST(PairEntries, PairsEveryDuplicateAndOnlyExactKeys) {
  const PluginEntry a{"Acme", "Comp", "1", "VST3", 1};
  const PluginEntry caseVariant{"acme", "Comp", "1", "VST3", 1};
  const Inventory first = {a, a, caseVariant};
  const Inventory second = {{"Acme", "Comp", "w", "AU", 4},
                            {"Acme", "Comp", "x", "VST3", 1},
                            {"Acme", "Comp", "y", "VST3", 2},
                            {"Acme", "Comp", "z", "VST3", 3}};
  const std::vector<EntryPair> pairs = pairEntries(first, second);
  ASSERT_EQ(pairs.size(), 6u);
  EXPECT_EQ(pairs[0].second->version, "x");
  EXPECT_EQ(pairs[2].second->version, "z");
  EXPECT_EQ(pairs[3].second->version, "x");
  EXPECT_TRUE(pairEntries({}, second).empty());
  EXPECT_TRUE(pairEntries(first, {}).empty());
}

}  // namespace
}  // namespace vernatto::compare
