#include "daw/reference.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

#include "inventory/inventory.h"

namespace vernatto::daw {
namespace {

void trim(std::string& text) {
  constexpr std::string_view kSpace = " \t\r\n\v\f";
  const std::size_t first = text.find_first_not_of(kSpace);
  if (first == std::string::npos)
    text.clear();
  else
    text = text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

// The texts that make two instances one reference, joined with a byte no
// text of a project holds between them.
std::string mergeKey(const Reference& r) {
  std::string key = r.technology;
  if (!r.id.empty())
    return key.append(1, '\0').append(r.id);
  key.append(2, '\0').append(r.vendor).append(1, '\0').append(r.name);
  return key.append(1, '\0').append(r.file);
}

inventory::PluginEntry keyOf(const Reference& r) {
  inventory::PluginEntry entry;
  entry.vendor = r.vendor;
  entry.name = r.name;
  entry.technology = r.technology;
  return entry;
}

}  // namespace

bool ReferenceList::add(Reference reference) {
  for (std::string* text : {&reference.technology, &reference.vendor, &reference.name,
                            &reference.id, &reference.file, &reference.version})
    trim(*text);
  std::string key = mergeKey(reference);
  const auto at = indexOf_.find(key);
  if (at == indexOf_.end()) {
    if (references_.size() == kMost)
      return false;
    indexOf_.emplace(std::move(key), references_.size());
    references_.push_back(std::move(reference));
  } else {  // a hostile count cannot wrap around to a small one
    references_[at->second].instances +=
        std::min(reference.instances, UINT64_MAX - references_[at->second].instances);
  }
  return true;
}

std::vector<Reference> ReferenceList::sorted() const {
  std::vector<Reference> sorted = references_;
  std::stable_sort(sorted.begin(), sorted.end(), referenceLess);
  return sorted;
}

bool referenceLess(const Reference& a, const Reference& b) {
  if (const int c = inventory::compareEntries(keyOf(a), keyOf(b)))
    return c < 0;
  return std::tie(a.vendor, a.name, a.technology, a.id, a.file) <
         std::tie(b.vendor, b.name, b.technology, b.id, b.file);
}

void ProjectReading::add(Reference reference) {
  if (!references.add(std::move(reference)))
    fail("more than " + std::to_string(ReferenceList::kMost) + " different plug-ins");
}

void ProjectReading::fail(std::string why) {
  if (complete)
    problem = std::move(why);
  complete = false;
}

}  // namespace vernatto::daw
