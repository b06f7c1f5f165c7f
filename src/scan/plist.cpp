#include "scan/plist.h"

#include <cstdint>
#include <limits>
#include <memory>
#include <type_traits>
#include <utility>

#include <plist/plist.h>

namespace vernatto::scan {
namespace {

using Plist = std::unique_ptr<std::remove_pointer_t<plist_t>, decltype(&plist_free)>;

// plist_from_memory gained a fourth parameter (the format found) in libplist
// 2.3; whichever of these two calls compiles is the one this libplist takes.
template <typename Parse>
auto parseWith(Parse parse, std::string_view bytes, plist_t* root, int)
    -> decltype(parse(bytes.data(), 0u, root, nullptr), void()) {
  parse(bytes.data(), static_cast<std::uint32_t>(bytes.size()), root, nullptr);
}

template <typename Parse>
auto parseWith(Parse parse, std::string_view bytes, plist_t* root, long)
    -> decltype(parse(bytes.data(), 0u, root), void()) {
  parse(bytes.data(), static_cast<std::uint32_t>(bytes.size()), root);
}

std::string text(plist_t dictionary, const char* key) {
  const plist_t node = plist_dict_get_item(dictionary, key);
  if (node == nullptr || plist_get_node_type(node) != PLIST_STRING)
    return {};
  std::uint64_t length = 0;
  const char* value = plist_get_string_ptr(node, &length);
  return value == nullptr ? std::string() : std::string(value, length);
}

std::vector<AudioComponent> audioComponents(plist_t dictionary) {
  std::vector<AudioComponent> components;
  const plist_t list = plist_dict_get_item(dictionary, "AudioComponents");
  if (list == nullptr || plist_get_node_type(list) != PLIST_ARRAY)
    return components;
  for (std::uint32_t i = 0, count = plist_array_get_size(list); i < count; ++i) {
    const plist_t item = plist_array_get_item(list, i);
    if (item == nullptr || plist_get_node_type(item) != PLIST_DICT)
      continue;
    AudioComponent component;
    component.name = text(item, "name");
    component.type = text(item, "type");
    component.subtype = text(item, "subtype");
    component.manufacturer = text(item, "manufacturer");
    const plist_t version = plist_dict_get_item(item, "version");
    component.hasVersion =
        version != nullptr && plist_get_node_type(version) == PLIST_UINT;
    if (component.hasVersion)
      plist_get_uint_val(version, &component.version);
    components.push_back(std::move(component));
  }
  return components;
}

}  // namespace

bool readInfoPlist(std::string_view bytes, BundleInfo& info, std::string& problem) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<std::uint32_t>::max()) {
    problem = bytes.empty() ? "empty property list" : "property list too large";
    return false;
  }
  plist_t parsed = nullptr;
  parseWith(plist_from_memory, bytes, &parsed, 0);
  const Plist root(parsed, &plist_free);
  if (root == nullptr || plist_get_node_type(root.get()) != PLIST_DICT) {
    problem =
        root == nullptr ? "not a property list" : "property list is not a dictionary";
    return false;
  }
  info.bundleName = text(root.get(), "CFBundleName");
  info.shortVersion = text(root.get(), "CFBundleShortVersionString");
  info.executable = text(root.get(), "CFBundleExecutable");
  info.audioComponents = audioComponents(root.get());
  return true;
}

}  // namespace vernatto::scan
