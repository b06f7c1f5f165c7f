#include "inventory/inventory.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vernatto::inventory {
namespace {

// Big enough that a million texts need a few hundred blocks, small enough
// that the unused end of the last block does not matter.
constexpr std::size_t kBlockSize = std::size_t{1} << 16;
// A longer text gets a block of its own, so that no block end goes to waste.
constexpr std::size_t kLargeText = kBlockSize / 8;

}  // namespace

std::string_view TextStore::store(std::string_view text) {
  if (text.empty())
    return {};
  char* at;
  if (text.size() > kLargeText) {
    std::unique_ptr<char[]> block(new char[text.size()]);
    at = block.get();
    // Kept before the block being filled, which stays the last; without one,
    // the next small text starts one.
    if (blocks_.empty())
      used_ = kBlockSize;
    blocks_.insert(blocks_.empty() ? blocks_.end() : blocks_.end() - 1, std::move(block));
  } else {
    if (blocks_.empty() || text.size() > kBlockSize - used_) {
      blocks_.emplace_back(new char[kBlockSize]);
      used_ = 0;
    }
    at = blocks_.back().get() + used_;
    used_ += text.size();
  }
  std::memcpy(at, text.data(), text.size());
  return {at, text.size()};
}

Inventory::Inventory(std::initializer_list<PluginEntry> entries) {
  entries_.reserve(entries.size());
  for (const PluginEntry& entry : entries)
    push_back(entry);
}

Inventory::Inventory(const Inventory& other) {
  entries_.reserve(other.size());
  for (const PluginEntry& entry : other)
    push_back(entry);
  keepDetails_ = other.keepDetails_;
  for (const EntryDetails& from : other.details_) {
    EntryDetails& to = details_.emplace_back();
    to.id = storeDetailText(from.id);
    to.path = storeDetailText(from.path);
    for (const std::string_view id : from.compatible)
      to.compatible.push_back(storeDetailText(id));
  }
}

Inventory& Inventory::operator=(const Inventory& other) {
  if (this != &other) {
    Inventory copy(other);
    *this = std::move(copy);
  }
  return *this;
}

PluginEntry& Inventory::emplace_back() {
  if (keepDetails_)
    details_.emplace_back();
  return entries_.emplace_back();
}

void Inventory::pop_back() {
  if (details_.size() == entries_.size())
    details_.pop_back();
  entries_.pop_back();
}

const EntryDetails& Inventory::details(std::size_t i) const {
  static const EntryDetails kNone;
  return i < details_.size() ? details_[i] : kNone;
}

void Inventory::push_back(const PluginEntry& entry) {
  if (keepDetails_)
    details_.emplace_back();
  entries_.push_back({storeSharedText(entry.vendor), storeText(entry.name),
                      storeText(entry.version), storeSharedText(entry.technology),
                      entry.modifiedTime});
}

std::string_view Inventory::storeSharedText(std::string_view text) {
  const auto found = shared_.find(text);
  if (found != shared_.end())
    return *found;
  const std::string_view stored = sharedTexts_.store(text);
  shared_.insert(stored);
  return stored;
}

void Inventory::storeTextsInOrder() {
  details_.clear();
  keepDetails_ = false;
  TextStore inOrder;
  for (PluginEntry& entry : entries_) {
    entry.name = inOrder.store(entry.name);
    entry.version = inOrder.store(entry.version);
  }
  texts_ = std::move(inOrder);
}

bool operator==(const Inventory& a, const Inventory& b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end());
}

}  // namespace vernatto::inventory
