// Plug-in inventories: the entry record, the inventory that owns the entries'
// texts, the file reader and the entry order.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace vernatto::inventory {

// One plug-in as listed in an inventory file. The texts are views of the
// storage of the inventory that holds the entry.
struct PluginEntry {
  std::string_view vendor;
  std::string_view name;
  std::string_view version;  // empty when the file gives none
  std::string_view technology;
  std::uint64_t modifiedTime = 0;  // 0 when the file's value could not be converted
};

// Field-by-field equality of the texts and the time.
inline bool operator==(const PluginEntry& a, const PluginEntry& b) {
  return a.vendor == b.vendor && a.name == b.name && a.version == b.version &&
         a.technology == b.technology && a.modifiedTime == b.modifiedTime;
}
inline bool operator!=(const PluginEntry& a, const PluginEntry& b) {
  return !(a == b);
}

// What an inventory may give beyond an entry's key, version and time, for
// matching the plug-ins a project uses: kept only for an inventory that
// asks for them (Inventory::keepDetails), as views of its storage.
struct EntryDetails {
  std::string_view id;    // the plug-in's id, in the normal form of plugin_id.h
  std::string_view path;  // the file or bundle the entry was read from
  std::vector<std::string_view> compatible;  // ids of the plug-ins it replaces
};

// Texts kept in large blocks, so that a million texts cost a few hundred
// allocations rather than a million. A stored text never moves: its view
// stays valid as long as the store, also when the store itself is moved.
class TextStore {
 public:
  // Returns a view of a stored copy of `text`.
  std::string_view store(std::string_view text);

 private:
  std::vector<std::unique_ptr<char[]>> blocks_;  // the one being filled last
  std::size_t used_ = 0;  // bytes used of the last block, all when it is a large text
};

// The entries of an inventory in a sequence, and the storage of their texts.
// Entries are kept in one array, so that `data()` walks them all.
class Inventory {
 public:
  using value_type = PluginEntry;
  using iterator = std::vector<PluginEntry>::iterator;
  using const_iterator = std::vector<PluginEntry>::const_iterator;

  Inventory() = default;
  Inventory(std::initializer_list<PluginEntry> entries);
  // A copy stores its own texts.
  Inventory(const Inventory& other);
  Inventory& operator=(const Inventory& other);
  Inventory(Inventory&&) noexcept = default;
  Inventory& operator=(Inventory&&) noexcept = default;

  // Appends `entry` with its texts copied into this inventory's storage.
  void push_back(const PluginEntry& entry);
  // Appends an entry with empty texts (and empty details), for the reader to
  // fill in.
  PluginEntry& emplace_back();
  // Drops the last entry; its texts stay stored until the inventory goes.
  void pop_back();

  // From now on every entry appended by emplace_back has details, which the
  // reader fills in; sortInventory drops them.
  void keepDetails() { keepDetails_ = true; }
  bool keepsDetails() const { return keepDetails_; }
  // The details of entry `i`; empty ones when the inventory keeps none.
  const EntryDetails& details(std::size_t i) const;
  // The last entry's details, for the reader to fill in; the inventory must
  // keep details and hold an entry.
  EntryDetails& lastDetails() { return details_.back(); }
  // Returns a view of a stored copy of `text` for the details, which
  // storeTextsInOrder leaves where they are.
  std::string_view storeDetailText(std::string_view text) {
    return detailTexts_.store(text);
  }
  void reserve(std::size_t count) { entries_.reserve(count); }

  // Returns a view of a stored copy of `text`, valid as long as the
  // inventory: for names and versions.
  std::string_view storeText(std::string_view text) { return texts_.store(text); }
  // The same, with equal texts stored once: for vendors and technologies,
  // which repeat from entry to entry.
  std::string_view storeSharedText(std::string_view text);
  // Stores the names and versions again, in the order of the entries, so
  // that walking the entries walks their texts too rather than jumping
  // through memory. Views of the earlier copies become invalid. Details,
  // which would no longer match their entries, are dropped.
  void storeTextsInOrder();

  std::size_t size() const { return entries_.size(); }
  bool empty() const { return entries_.empty(); }
  std::size_t max_size() const { return entries_.max_size(); }
  PluginEntry& operator[](std::size_t i) { return entries_[i]; }
  const PluginEntry& operator[](std::size_t i) const { return entries_[i]; }
  PluginEntry& back() { return entries_.back(); }
  PluginEntry* data() { return entries_.data(); }
  const PluginEntry* data() const { return entries_.data(); }
  iterator begin() { return entries_.begin(); }
  iterator end() { return entries_.end(); }
  const_iterator begin() const { return entries_.begin(); }
  const_iterator end() const { return entries_.end(); }

 private:
  std::vector<PluginEntry> entries_;
  std::vector<EntryDetails> details_;  // one per entry, when kept
  bool keepDetails_ = false;
  TextStore texts_;
  TextStore detailTexts_;
  TextStore sharedTexts_;
  std::unordered_set<std::string_view> shared_;
};

// Equal when both hold equal entries in the same order; details are not
// compared.
bool operator==(const Inventory& a, const Inventory& b);
inline bool operator!=(const Inventory& a, const Inventory& b) {
  return !(a == b);
}

// What reading one inventory stream came to.
struct ReadOutcome {
  // What the stream's first JSON value is, or began as before a failure.
  enum class Value { kNone, kArray, kOther };
  Value topLevel = Value::kNone;
  // The stream held one whole JSON value; what follows it is not read.
  bool whole = false;
  // The failure cut the last element short: its entry holds only what was
  // read before the cut.
  bool lastElementCut = false;
  // Where a stream that was not whole failed: at its end (it was cut off),
  // or at a byte that is not JSON there. The offset counts from 0; line and
  // column from 1, in bytes, and are 0 where the stream cannot be read again.
  bool endedEarly = false;
  std::uint64_t failureOffset = 0;
  std::uint64_t failureLine = 0;
  std::uint64_t failureColumn = 0;
};

// Parses `in` and appends one entry per element of its top-level array to
// `inventory`, in file order, without sorting and without writing anything;
// when the inventory keeps details, also each element's "id", "path" and
// "compatible" (texts, and an array of texts; anything else reads as
// absent). A broken stream contributes the elements begun before the
// failure, the last one as far as it was read. Never throws for anything a
// stream holds.
ReadOutcome readEntries(std::istream& in, Inventory& inventory);

// What made a stream that was not whole fail, and where, for a message:
// "empty", "cut off at line 3, column 5 (byte 120)" or "not JSON at ...".
std::string failureText(const ReadOutcome& outcome);

// Reads an inventory from `in`, named `path` in the console lines, appends
// one entry per element of its top-level array to `inventory` and sorts the
// whole inventory with entryLess. Writes the "File: " line, the failure line
// (if the stream does not hold valid JSON), the count line and one echo line
// per entry to `out`, each ended with a newline and a flush. Never throws for
// anything a stream holds: a broken one contributes what could be read of it.
void readInventory(std::istream& in, const std::string& path, Inventory& inventory,
                   std::ostream& out);

// The same for the file at `path`, a UTF-8 name; a file that cannot be opened
// reads like an empty one, so it gets the failure line and no entries.
void readInventory(const std::string& path, Inventory& inventory, std::ostream& out);

// Returns `text` with the ASCII letters A-Z lowered; every other byte,
// 0x80 and above included, is kept as it is.
std::string toLowerCopy(std::string_view text);

// The inventory order: by vendor, then name, then technology, each compared
// bytewise after lowering ASCII letters. Entries whose keys differ only in
// case are equivalent.
bool entryLess(const PluginEntry& a, const PluginEntry& b);

// The same order as a three-way comparison: negative when `a` goes first,
// zero when the two are equivalent, positive when `b` goes first.
int compareEntries(const PluginEntry& a, const PluginEntry& b);

// Sorts `inventory` by entryLess. Equivalent entries keep their relative
// order, which makes runs repeatable. The names and versions are then
// stored again in the new order (see Inventory::storeTextsInOrder).
void sortInventory(Inventory& inventory);

}  // namespace vernatto::inventory
