// sortInventory takes shortcuts (ranks of vendors and technologies known by
// where they are stored, name heads and lengths, an in-place permutation);
// its result must still be exactly a stable sort by entryLess.
#include <algorithm>
#include <deque>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "inventory/inventory.h"

namespace vernatto::inventory {
namespace {

// Keys built from pieces that stress the shortcuts: case variants, prefixes,
// names that agree in their first 16 bytes, zero bytes, bytes above 0x7f.
std::string pickKey(std::mt19937_64& random, const std::vector<std::string>& pieces) {
  std::string key;
  const std::size_t parts = random() % 4;
  for (std::size_t i = 0; i < parts; ++i)
    key += pieces[random() % pieces.size()];
  return key;
}

// `kept` holds texts that entries view from outside the inventory, so that
// equal vendors and technologies also come stored apart.
Inventory makeInventory(std::uint64_t seed, std::size_t size,
                        std::deque<std::string>& kept) {
  static const std::vector<std::string> pieces = {"A",
                                                  "a",
                                                  "Comp",
                                                  "comp",
                                                  "Compressor ",
                                                  "_x",
                                                  "Ax",
                                                  "Z",
                                                  "\xc3\x89",
                                                  "\xc3\xa9",
                                                  "",
                                                  "0123456789abcdef",
                                                  "0123456789ABCDEF",
                                                  std::string(1, '\0'),
                                                  "\x7f",
                                                  "\xff",
                                                  "Tidewater Labs ",
                                                  "TIDEWATER LABS "};
  std::mt19937_64 random(seed);
  Inventory inventory;
  for (std::size_t i = 0; i < size; ++i) {
    const std::string vendor = pickKey(random, pieces);
    const std::string name = pickKey(random, pieces);
    const std::string technology = pickKey(random, pieces);
    const std::string version = std::to_string(i);  // tells equivalent entries apart
    if (random() % 4 != 0) {
      inventory.push_back({vendor, name, version, technology, i});
    } else {
      kept.insert(kept.end(), {vendor, name, version, technology});
      const auto text = kept.end() - 4;
      inventory.emplace_back() = {text[0], text[1], text[2], text[3], i};
    }
  }
  return inventory;
}

TEST(SortInventoryTest, EqualsStableSortByEntryLess) {
  for (std::uint64_t seed = 1; seed <= 40; ++seed) {
    const std::size_t size = seed % 5 == 0 ? seed / 5 : 300 + seed * 7;  // 0 to 580
    std::deque<std::string> kept;
    Inventory actual = makeInventory(seed, size, kept);
    Inventory expected = actual;
    sortInventory(actual);
    std::stable_sort(expected.begin(), expected.end(), entryLess);
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
      ASSERT_EQ(actual[i].version, expected[i].version)
          << "seed " << seed << ", position " << i << ": vendor '" << actual[i].vendor
          << "' name '" << actual[i].name << "'";
    }
  }
}

}  // namespace
}  // namespace vernatto::inventory
