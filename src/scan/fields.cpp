#include "scan/fields.h"

#include "inventory/plugin_id.h"

namespace vernatto::scan {
namespace {

std::string auVersion(std::uint64_t v) {
  return std::to_string(v >> 16) + "." + std::to_string((v >> 8) & 0xFF) + "." +
         std::to_string(v & 0xFF);
}

// "Vendor: Plug-in name", split at the first ": "; without one all is name.
Fields splitAuName(const std::string& text) {
  Fields fields;
  const std::size_t colon = text.find(": ");
  if (colon == std::string::npos) {
    fields.name = text;
  } else {
    fields.vendor = text.substr(0, colon);
    fields.name = text.substr(colon + 2);
  }
  return fields;
}

}  // namespace

void fillFrom(Fields& into, const Fields& from) {
  if (into.vendor.empty())
    into.vendor = from.vendor;
  if (into.name.empty())
    into.name = from.name;
  if (into.version.empty())
    into.version = from.version;
}

bool complete(const Fields& fields) {
  return !fields.vendor.empty() && !fields.name.empty() && !fields.version.empty();
}

Fields peFields(const PeVersion& version) {
  Fields fields;
  fields.vendor = version.companyName;
  fields.name = version.productName;
  if (fields.name.empty())
    fields.name = version.fileDescription;
  for (const std::string& text : {version.productVersion, version.fileVersion}) {
    if (fields.version.empty())
      fields.version = normaliseVersion(text);
  }
  if (fields.version.empty())
    fields.version = version.fixedFileVersion;
  return fields;
}

std::vector<Fields> plistFields(const BundleInfo& info, bool audioUnit) {
  std::vector<Fields> list;
  if (audioUnit) {
    for (const AudioComponent& component : info.audioComponents) {
      Fields fields = splitAuName(component.name);
      fields.version = info.shortVersion;
      if (fields.version.empty() && component.hasVersion) {
        fields.version = auVersion(component.version);
      }
      fields.id = inventory::audioUnitIdFromCodes(component.type, component.subtype,
                                                  component.manufacturer);
      list.push_back(fields);
    }
  }
  if (list.empty()) {
    Fields fields;
    fields.name = info.bundleName;
    fields.version = info.shortVersion;
    for (const AudioComponent& component : info.audioComponents) {
      if (fields.vendor.empty())
        fields.vendor = splitAuName(component.name).vendor;
    }
    list.push_back(fields);
  }
  return list;
}

}  // namespace vernatto::scan
