#include <gtest/gtest.h>

#include "inventory/inventory.h"

namespace vernatto::inventory {
namespace {

// The texts must outlive the entry: literals do.
PluginEntry entry(std::string_view vendor, std::string_view name,
                  std::string_view technology = "VST3", std::string_view version = "",
                  std::uint64_t time = 0) {
  return {vendor, name, version, technology, time};
}

TEST(ToLowerCopy, LowersAsciiLettersOnly) {
  EXPECT_EQ(toLowerCopy("AbZ@[`{_09"), "abz@[`{_09");
  EXPECT_EQ(toLowerCopy("\xC3\x89\xC3\xA9"), "\xC3\x89\xC3\xA9");
  EXPECT_EQ(toLowerCopy(std::string("A\0B", 3)), std::string("a\0b", 3));
  EXPECT_EQ(toLowerCopy(""), "");
}

TEST(EntryLess, OrdersByFoldedVendorNameTechnology) {
  struct Case {
    const char* what;
    PluginEntry a;
    PluginEntry b;
  };
  const Case cases[] = {
      {"vendor decides before name", entry("Alpha", "Zeta"), entry("beta", "Able")},
      {"name decides between equal vendors", entry("ACME", "a"), entry("acme", "B")},
      {"technology decides last", entry("v", "n", "AU"), entry("V", "N", "vst3")},
      {"a prefix goes first", entry("v", "Comp"), entry("v", "Compressor")},
      {"folding happens before comparing", entry("v", "_x"), entry("v", "Ax")},
      {"empty goes before anything", entry("", "z"), entry("a", "a")},
      {"high bytes are unsigned", entry("v", "Zed"), entry("v", "\xC3\x89t")},
      {"high bytes keep their case", entry("v", "\xC3\x89t"), entry("v", "\xC3\xA9t")},
      {"a zero byte is an ordinary low byte", entry(std::string_view("a\0", 2), "z"),
       entry("a\x01", "a")},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(entryLess(c.a, c.b)) << c.what;
    EXPECT_FALSE(entryLess(c.b, c.a)) << c.what;
  }
}

TEST(EntryLess, TreatsCaseVersionAndTimeOnlyDifferencesAsEquivalent) {
  const std::pair<PluginEntry, PluginEntry> cases[] = {
      {entry("ACME", "Comp", "VST3"), entry("acme", "comp", "vst3")},
      {entry("v", "n", "AU", "1.0", 1), entry("v", "n", "AU", "2.0", 2)},
      {entry("v", "n"), entry("v", "n")},
  };
  for (const auto& [a, b] : cases) {
    EXPECT_FALSE(entryLess(a, b)) << a.vendor << '/' << b.vendor;
    EXPECT_FALSE(entryLess(b, a)) << a.vendor << '/' << b.vendor;
  }
}

TEST(SortInventory, SortsByEntryLessAndKeepsEquivalentEntriesInFileOrder) {
  Inventory inventory = {
      entry("b", "x", "AU", "1"),
      entry("ACME", "Verb", "VST3", "1"),
      entry("a", "x", "AU", "1"),
      entry("acme", "verb", "vst3", "2"),
      entry("ACME", "Verb", "VST3", "3"),
      entry("\xC3\xA9", "x"),
      entry("Zeta", "x"),
  };
  sortInventory(inventory);
  std::vector<std::string> order;
  for (const PluginEntry& e : inventory)
    order.push_back(std::string(e.vendor) + "/" + std::string(e.version));
  EXPECT_EQ(order, (std::vector<std::string>{"a/1", "ACME/1", "acme/2", "ACME/3", "b/1",
                                             "Zeta/", "\xC3\xA9/"}));
  EXPECT_TRUE(std::is_sorted(inventory.begin(), inventory.end(), entryLess));

  Inventory empty;
  sortInventory(empty);
  EXPECT_TRUE(empty.empty());
}

}  // namespace
}  // namespace vernatto::inventory
