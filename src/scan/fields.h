// The plug-in fields each kind of metadata gives, and how they combine.
#pragma once

#include <string>
#include <vector>

#include "scan/pe.h"
#include "scan/plist.h"

namespace vernatto::scan {

// The id (normal form, as inventory/plugin_id.h writes it) and the ids a
// plug-in replaces come only from the metadata that lists the plug-in itself:
// a moduleinfo class or an AudioComponents item.
struct Fields {
  std::string vendor;
  std::string name;
  std::string version;
  std::string id;
  std::vector<std::string> compatible;
};

// Fills the empty vendor, name and version of `into` from `from`: the first
// source with a value wins.
void fillFrom(Fields& into, const Fields& from);

// Whether vendor, name and version all have a value.
bool complete(const Fields& fields);

// A version resource's fields: vendor = CompanyName; name = ProductName,
// else FileDescription; version = ProductVersion, else FileVersion (both
// normalised), else the fixed file version.
Fields peFields(const PeVersion& version);

// An Info.plist's entries. For an audio unit (`audioUnit`) one per item of
// AudioComponents, its name split at the first ": " into vendor and name,
// version = CFBundleShortVersionString, else the item's integer version
// decoded as major.minor.bugfix, id = its type, subtype and manufacturer
// (empty unless all three are codes). Otherwise, and for an audio unit without
// components, one entry: name = CFBundleName, version =
// CFBundleShortVersionString, vendor from the first AU-style component name.
std::vector<Fields> plistFields(const BundleInfo& info, bool audioUnit);

}  // namespace vernatto::scan
