#include "project/matching.h"

#include <algorithm>
#include <array>

#include "daw/stored_text.h"
#include "fleet/plugins.h"
#include "inventory/plugin_id.h"

namespace vernatto::project {
namespace {

using inventory::PluginEntry;

constexpr std::string_view kSpace = " \t\r\n\v\f";

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

bool endsWith(std::string_view text, std::string_view end) {
  return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

bool isSpace(char c) {
  return kSpace.find(c) != std::string_view::npos;
}

bool isAsciiAlphanumeric(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string key(std::string_view technology, std::string_view text) {
  std::string key(technology);
  key += '\0';
  key += text;
  return key;
}

// Two builds that carry ids of their own are two plug-ins, whatever their
// names say.
bool idsAgree(std::string_view a, std::string_view b) {
  return a.empty() || b.empty() || a == b;
}

bool vendorsAgree(const std::string& a, const std::string& b) {
  return a.empty() || b.empty() || a == b;
}

}  // namespace

bool mentions(const daw::Reference& reference, const std::vector<std::string>& texts) {
  return std::any_of(texts.begin(), texts.end(), [&](const std::string& text) {
    const std::string needle = inventory::toLowerCopy(text);
    return inventory::toLowerCopy(reference.vendor).find(needle) != std::string::npos ||
           inventory::toLowerCopy(reference.name).find(needle) != std::string::npos;
  });
}

bool opens(Status status) {
  return status != Status::kMissing && status != Status::kOtherFormat &&
         status != Status::kOlder;
}

std::string foldName(std::string_view name) {
  std::string folded = inventory::toLowerCopy(trimmed(name));
  // Joined marks need nothing before them; the others stand after white
  // space, which goes with them.
  for (const std::string_view mark : {"_x64", "-x64", "_x86", "-x86"}) {
    if (endsWith(folded, mark) && folded.size() > mark.size()) {
      folded.resize(folded.size() - mark.size());
      return std::string(trimmed(folded));
    }
  }
  for (const std::string_view mark :
       {"x64", "x86", "(x64)", "(x86)", "(64 bit)", "(64-bit)", "(64)", "(32 bit)"}) {
    if (endsWith(folded, mark) && folded.size() > mark.size() &&
        isSpace(folded[folded.size() - mark.size() - 1])) {
      folded.resize(folded.size() - mark.size());
      return std::string(trimmed(folded));
    }
  }
  return folded;
}

std::string foldFile(std::string_view file) {
  file = trimmed(file);
  const std::string lowered = inventory::toLowerCopy(file);
  for (const std::string_view extension :
       {".dll", ".so", ".vst", ".vst3", ".clap", ".component", ".aaxplugin", ".lv2"}) {
    if (endsWith(lowered, extension)) {
      file.remove_suffix(extension.size());
      break;
    }
  }
  return foldName(file);
}

std::string foldVendor(std::string_view vendor) {
  static const std::array<std::string_view, 10> kLegalForms = {
      "gmbh", "inc", "ltd", "llc", "ag", "ab", "sa", "bv", "oy", "co"};
  std::string lowered = inventory::toLowerCopy(vendor);
  // Drop trailing legal forms ("Co., Ltd.") as long as a word stays before.
  for (bool dropped = true; dropped;) {
    dropped = false;
    std::size_t end = lowered.size();
    while (end > 0 && !isAsciiAlphanumeric(lowered[end - 1]) &&
           static_cast<unsigned char>(lowered[end - 1]) < 0x80)
      --end;
    std::size_t start = end;
    while (start > 0 && isAsciiAlphanumeric(lowered[start - 1]))
      --start;
    const std::string_view word(lowered.data() + start, end - start);
    const bool standsAlone =
        start > 0 && static_cast<unsigned char>(lowered[start - 1]) < 0x80;
    if (standsAlone &&
        std::find(kLegalForms.begin(), kLegalForms.end(), word) != kLegalForms.end()) {
      lowered.resize(start);
      dropped = true;
    }
  }
  std::string folded;
  for (const char c : lowered) {
    if (isAsciiAlphanumeric(c) || static_cast<unsigned char>(c) >= 0x80)
      folded += c;
  }
  return folded;
}

RoomIndex::RoomIndex(const inventory::Inventory& room) : room_(room) {
  foldedVendors_.reserve(room.size());
  for (std::uint32_t i = 0; i < room.size(); ++i) {
    const PluginEntry& entry = room[i];
    const inventory::EntryDetails& details = room.details(i);
    foldedVendors_.push_back(foldVendor(entry.vendor));
    if (!details.id.empty())
      byId_[key(entry.technology, details.id)].push_back(i);
    const std::string name = foldName(entry.name);
    if (!name.empty()) {
      byName_[key(entry.technology, name)].push_back(i);
      byNameAnyTechnology_[name].push_back(i);
    }
    const std::string file = foldFile(daw::fileOfPath(details.path));
    if (!file.empty())
      byFile_[key(entry.technology, file)].push_back(i);
    if (entry.technology != "VST3")
      continue;
    for (const std::string_view id : details.compatible)
      byCompatible_[std::string(id)].push_back(i);
    std::vector<std::string_view> carried(details.compatible.begin(),
                                          details.compatible.end());
    carried.push_back(details.id);
    for (const std::string_view id : carried) {
      // The name's bytes after the unique id are not compared.
      if (inventory::isVst2InVst3Form(id)) {
        Entries& entries = byVst2Prefix_[std::string(id.substr(0, 14))];
        if (entries.empty() || entries.back() != i)
          entries.push_back(i);
      }
    }
  }
}

const RoomIndex::Entries* RoomIndex::find(
    const std::unordered_map<std::string, Entries>& map, const std::string& text) const {
  const auto found = map.find(text);
  return found == map.end() ? nullptr : &found->second;
}

template <typename Accept>
std::size_t RoomIndex::best(const Entries* candidates, Accept accept) const {
  std::size_t chosen = Match::kNoInstall;
  if (candidates == nullptr)
    return chosen;
  for (const std::uint32_t i : *candidates) {
    if (!accept(i))
      continue;
    // Later entries win only with a higher version: ties keep file order.
    if (chosen == Match::kNoInstall ||
        fleet::compareNatural(room_[i].version, room_[chosen].version) > 0)
      chosen = i;
  }
  return chosen;
}

PreparedReference::PreparedReference(const daw::Reference& r,
                                     const std::vector<std::string>& ignore)
    : reference(r),
      ignored(mentions(r, ignore)),
      vendor(foldVendor(r.vendor)),
      name(foldName(r.name)) {
  if (!r.id.empty())
    idKey = key(r.technology, r.id);
  if (!name.empty())
    nameKey = key(r.technology, name);
  if (const std::string file = foldFile(r.file); !file.empty())
    fileKey = key(r.technology, file);
  if (r.technology == "VST3")
    replacedBy = r.id;
  else if (r.technology == "VST2")
    replacedBy = inventory::vst3FormPrefixOfVst2(r.id);
}

Match RoomIndex::match(const PreparedReference& prepared) const {
  const daw::Reference& reference = prepared.reference;
  if (reference.host)
    return {Status::kHost};
  if (prepared.ignored)
    return {Status::kIgnored};
  const std::string& technology = reference.technology;
  const std::string& vendor = prepared.vendor;
  const auto sameIdsAndVendors = [&](std::size_t i, bool vendors) {
    return idsAgree(reference.id, room_.details(i).id) &&
           (!vendors || vendorsAgree(vendor, foldedVendors_[i]));
  };
  Match match{Status::kFound};
  if (!prepared.idKey.empty() &&
      (match.install = best(find(byId_, prepared.idKey),
                            [](std::size_t) { return true; })) != Match::kNoInstall) {
    match.by = By::kId;
  } else if (!prepared.nameKey.empty() &&
             (match.install = best(find(byName_, prepared.nameKey), [&](std::size_t i) {
                return sameIdsAndVendors(i, true);
              })) != Match::kNoInstall) {
    match.by = By::kName;
  } else if (!prepared.fileKey.empty() &&
             (match.install = best(find(byFile_, prepared.fileKey), [&](std::size_t i) {
                return sameIdsAndVendors(i, false);
              })) != Match::kNoInstall) {
    match.by = By::kFile;
  }
  if (match.by != By::kNone) {
    const std::string_view installed = room_[match.install].version;
    if (!reference.version.empty() && !installed.empty() &&
        fleet::compareNatural(installed, reference.version) < 0)
      match.status = Status::kOlder;
    return match;
  }

  const Entries* replacements = nullptr;
  if (technology == "VST3" && !prepared.replacedBy.empty())
    replacements = find(byCompatible_, prepared.replacedBy);
  else if (technology == "VST2")
    replacements = find(byVst2Prefix_, prepared.replacedBy);
  match.install = best(replacements, [](std::size_t) { return true; });
  if (match.install != Match::kNoInstall)
    return {Status::kReplacement, By::kCompatibility, match.install};

  if ((technology == "LADSPA" || technology == "DSSI") && reference.file.empty())
    return {Status::kUnchecked};
  if (!prepared.name.empty()) {
    match.install = best(find(byNameAnyTechnology_, prepared.name), [&](std::size_t i) {
      return room_[i].technology != technology && vendorsAgree(vendor, foldedVendors_[i]);
    });
    if (match.install != Match::kNoInstall)
      return {Status::kOtherFormat, By::kNone, match.install};
  }
  return {Status::kMissing};
}

}  // namespace vernatto::project
