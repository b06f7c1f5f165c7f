#include <algorithm>
#include <numeric>
#include <string_view>

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

struct SortKey {
  std::string vendor;
  std::string name;
  std::string technology;
  std::size_t index;
};

bool keyLess(const SortKey& a, const SortKey& b) {
  if (int c = compareBytes(a.vendor, b.vendor))
    return c < 0;
  if (int c = compareBytes(a.name, b.name))
    return c < 0;
  if (int c = compareBytes(a.technology, b.technology))
    return c < 0;
  return a.index < b.index;
}

}  // namespace

std::string toLowerCopy(const std::string& text) {
  std::string lowered(text);
  std::transform(lowered.begin(), lowered.end(), lowered.begin(), lowerAscii);
  return lowered;
}

bool entryLess(const PluginEntry& a, const PluginEntry& b) {
  if (int c = compareBytes(toLowerCopy(a.vendor), toLowerCopy(b.vendor)))
    return c < 0;
  if (int c = compareBytes(toLowerCopy(a.name), toLowerCopy(b.name)))
    return c < 0;
  return compareBytes(toLowerCopy(a.technology), toLowerCopy(b.technology)) < 0;
}

void sortInventory(Inventory& inventory) {
  std::vector<SortKey> keys;
  keys.reserve(inventory.size());
  for (std::size_t i = 0; i < inventory.size(); ++i) {
    const PluginEntry& e = inventory[i];
    keys.push_back(
        {toLowerCopy(e.vendor), toLowerCopy(e.name), toLowerCopy(e.technology), i});
  }
  std::sort(keys.begin(), keys.end(), keyLess);

  Inventory sorted;
  sorted.reserve(inventory.size());
  for (const SortKey& key : keys)
    sorted.push_back(std::move(inventory[key.index]));
  inventory = std::move(sorted);
}

}  // namespace vernatto::inventory
