#include <algorithm>
#include <nlohmann/json.hpp>
#include <tuple>

#include "inventory/inventory.h"
#include "scan/output.h"

namespace vernatto::scan {
namespace {

struct SortKey {
  std::string technology;
  std::string vendor;
  std::string name;
  const FoundPlugin* plugin;
};

bool keyLess(const SortKey& a, const SortKey& b) {
  const ScannedEntry& x = a.plugin->entry;
  const ScannedEntry& y = b.plugin->entry;
  return std::tie(a.technology, a.vendor, a.name, a.plugin->path, x.vendor, x.name,
                  x.version, x.modifiedTime, x.technology, x.id, x.compatible) <
         std::tie(b.technology, b.vendor, b.name, b.plugin->path, y.vendor, y.name,
                  y.version, y.modifiedTime, y.technology, y.id, y.compatible);
}

}  // namespace

void sortFound(std::vector<FoundPlugin>& plugins) {
  std::vector<SortKey> keys;
  keys.reserve(plugins.size());
  for (const FoundPlugin& plugin : plugins) {
    keys.push_back(SortKey{inventory::toLowerCopy(plugin.entry.technology),
                           inventory::toLowerCopy(plugin.entry.vendor),
                           inventory::toLowerCopy(plugin.entry.name), &plugin});
  }
  std::sort(keys.begin(), keys.end(), keyLess);
  std::vector<FoundPlugin> sorted;
  sorted.reserve(plugins.size());
  for (const SortKey& key : keys)
    sorted.push_back(*key.plugin);
  plugins = std::move(sorted);
}

std::string inventoryJson(const std::vector<FoundPlugin>& plugins) {
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const FoundPlugin& plugin : plugins) {
    const ScannedEntry& entry = plugin.entry;
    nlohmann::ordered_json object;
    object["vendor"] = entry.vendor;
    object["name"] = entry.name;
    object["technology"] = entry.technology;
    object["modifiedTime"] = entry.modifiedTime;
    if (!entry.version.empty())
      object["version"] = entry.version;
    object["path"] = plugin.path;
    if (!entry.id.empty())
      object["id"] = entry.id;
    if (!entry.compatible.empty())
      object["compatible"] = entry.compatible;
    array.push_back(std::move(object));
  }
  return array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) +
         "\n";
}

}  // namespace vernatto::scan
