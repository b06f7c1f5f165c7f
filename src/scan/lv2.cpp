#include <lilv/lilv.h>

#include <map>
#include <memory>

#include "scan/describe.h"
#include "scan/files.h"

namespace vernatto::scan {
namespace {

namespace fs = std::filesystem;

constexpr const char* kMinorVersion = "http://lv2plug.in/ns/lv2core#minorVersion";
constexpr const char* kMicroVersion = "http://lv2plug.in/ns/lv2core#microVersion";

struct NodeFree {
  void operator()(LilvNode* node) const { lilv_node_free(node); }
};
using Node = std::unique_ptr<LilvNode, NodeFree>;

std::string textOf(const Node& node) {
  const char* text = node ? lilv_node_as_string(node.get()) : nullptr;
  return text != nullptr ? text : "";
}

std::string uriOf(const LilvNode* node) {
  const char* uri = node != nullptr ? lilv_node_as_uri(node) : nullptr;
  return uri != nullptr ? uri : "";
}

std::optional<int> intValue(LilvWorld* world, const LilvPlugin* plugin, const char* uri) {
  Node predicate(lilv_new_uri(world, uri));
  LilvNodes* values = lilv_plugin_get_value(plugin, predicate.get());
  std::optional<int> value;
  const LilvNode* first = values != nullptr ? lilv_nodes_get_first(values) : nullptr;
  if (first != nullptr && lilv_node_is_int(first))
    value = lilv_node_as_int(first);
  lilv_nodes_free(values);
  return value;
}

std::string versionOf(LilvWorld* world, const LilvPlugin* plugin) {
  auto minor = intValue(world, plugin, kMinorVersion);
  if (!minor)
    return "";
  auto micro = intValue(world, plugin, kMicroVersion);
  return std::to_string(*minor) + "." + std::to_string(micro ? *micro : 0);
}

fs::path binaryOf(const LilvPlugin* plugin) {
  const std::string uri = uriOf(lilv_plugin_get_library_uri(plugin));
  char* path = uri.empty() ? nullptr : lilv_file_uri_parse(uri.c_str(), nullptr);
  if (path == nullptr)
    return {};
  fs::path binary = fs::u8path(path);
  lilv_free(path);
  return binary;
}

void describePlugin(LilvWorld* world, const LilvPlugin* plugin, const fs::path& bundle,
                    ScanResult& result) {
  ScannedEntry entry;
  entry.name = textOf(Node(lilv_plugin_get_name(plugin)));
  if (entry.name.empty())
    entry.name = stemOf(bundle);
  entry.vendor = textOf(Node(lilv_plugin_get_author_name(plugin)));
  entry.version = versionOf(world, plugin);
  entry.technology = "LV2";
  entry.id = uriOf(lilv_plugin_get_uri(plugin));
  entry.modifiedTime =
      firstModifiedTime({binaryOf(plugin), bundle / "manifest.ttl", bundle});
  result.plugins.push_back(FoundPlugin{entry, bundle.u8string()});
}

}  // namespace

void describeLv2(const std::vector<fs::path>& bundles, ScanResult& result) {
  if (bundles.empty())
    return;
  LilvWorld* world = lilv_world_new();
  // With dynamic manifests on, lilv would load plug-in code to discover them.
  {
    Node no(lilv_new_bool(world, false));
    lilv_world_set_option(world, LILV_OPTION_DYN_MANIFEST, no.get());
  }
  std::map<std::string, fs::path> bundleOfUri;
  for (const fs::path& bundle : bundles) {
    Node uri(lilv_new_file_uri(world, nullptr, (bundle.u8string() + "/").c_str()));
    if (!uri) {
      result.problems.push_back(bundle.u8string() + ": no file URI for this path");
      ++result.filesSkipped;
      continue;
    }
    ++result.filesRead;
    bundleOfUri[uriOf(uri.get())] = bundle;
    lilv_world_load_bundle(world, uri.get());
  }
  const LilvPlugins* plugins = lilv_world_get_all_plugins(world);
  LILV_FOREACH(plugins, it, plugins) {
    const LilvPlugin* plugin = lilv_plugins_get(plugins, it);
    auto found = bundleOfUri.find(uriOf(lilv_plugin_get_bundle_uri(plugin)));
    fs::path bundle =
        found != bundleOfUri.end() ? found->second : binaryOf(plugin).parent_path();
    describePlugin(world, plugin, bundle, result);
  }
  lilv_world_free(world);
}

}  // namespace vernatto::scan
