// Whether a room can open what a project uses: each reference matched
// against a room's inventory, by id, name or file, or replaced by a plug-in
// that declares itself compatible.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "daw/reference.h"
#include "inventory/inventory.h"

namespace vernatto::project {

// What a room holds of one reference, in the order the rules are tried.
enum class Status : std::uint8_t {
  kHost,         // comes with the host
  kIgnored,      // matches an --ignore text
  kFound,        // installed
  kReplacement,  // a plug-in that declares itself its successor is installed
  kUnchecked,    // a LADSPA or DSSI reference without a file: nothing to match by
  kOtherFormat,  // only another technology of it is installed
  kMissing,
  kOlder,  // found, but older than the version the project saved
};

// How a found, older or replacement reference was matched.
enum class By : std::uint8_t { kNone, kId, kName, kFile, kCompatibility };

// Whether `reference`'s vendor or name holds one of `texts`, ignoring ASCII
// case: what --ignore and --uses select.
bool mentions(const daw::Reference& reference, const std::vector<std::string>& texts);

// Whether a room with `status` opens the project as far as this reference
// goes.
bool opens(Status status);

// `name` trimmed, ASCII letters lowered, and one trailing architecture mark
// dropped: "x64" or "x86" after white space, "_x64", "-x64", "_x86", "-x86",
// or after white space "(x64)", "(x86)", "(64 bit)", "(64-bit)", "(64)" or
// "(32 bit)", in any case.
std::string foldName(std::string_view name);

// A file name folded as a name once a plug-in extension (.dll, .so, .vst,
// .vst3, .clap, .component, .aaxplugin, .lv2, in any case) is dropped.
std::string foldFile(std::string_view file);

// A vendor without its trailing legal forms that stand as words of their own
// (GmbH, Inc, Ltd, LLC, AG, AB, SA, BV, Oy, Co), then without ASCII
// punctuation and white space, ASCII letters lowered.
std::string foldVendor(std::string_view vendor);

// One reference in one room: its status, how it was matched, and the entry
// chosen as its install (an index into the room's inventory, or kNoInstall).
struct Match {
  static constexpr std::size_t kNoInstall = static_cast<std::size_t>(-1);
  Status status = Status::kMissing;
  By by = By::kNone;
  std::size_t install = kNoInstall;
};

// A reference with what the rules look up by, folded once however many
// rooms it is matched in.
struct PreparedReference {
  PreparedReference(const daw::Reference& reference,
                    const std::vector<std::string>& ignore);

  const daw::Reference& reference;
  bool ignored;            // matches an --ignore text
  std::string vendor;      // folded
  std::string name;        // folded
  std::string idKey;       // technology and id, or empty
  std::string nameKey;     // technology and folded name, or empty
  std::string fileKey;     // technology and folded file, or empty
  std::string replacedBy;  // what a replacement declares: VST3 id or VST2 prefix
};

// A room's inventory looked up by every way a reference can match it. The
// inventory must keep details (Inventory::keepDetails), outlive the index
// and stay unchanged.
class RoomIndex {
 public:
  explicit RoomIndex(const inventory::Inventory& room);

  // The first rule that holds for `reference` in this room; `ignore` are
  // the --ignore texts. Where several entries match, the install is the one
  // of the highest version in natural order, the first in the file among
  // equals; a found reference that saved a version is older when the
  // install has a lower one.
  Match match(const PreparedReference& prepared) const;
  Match match(const daw::Reference& reference,
              const std::vector<std::string>& ignore) const {
    return match(PreparedReference(reference, ignore));
  }

 private:
  using Entries = std::vector<std::uint32_t>;  // indices into the room, in file order
  const Entries* find(const std::unordered_map<std::string, Entries>& map,
                      const std::string& key) const;
  // The best install among `candidates` that `accept` takes, or kNoInstall.
  template <typename Accept>
  std::size_t best(const Entries* candidates, Accept accept) const;

  const inventory::Inventory& room_;
  std::vector<std::string> foldedVendors_;  // per entry
  // Keyed by technology, a NUL byte and the text, but byNameAnyTechnology_.
  std::unordered_map<std::string, Entries> byId_;
  std::unordered_map<std::string, Entries> byName_;
  std::unordered_map<std::string, Entries> byFile_;
  std::unordered_map<std::string, Entries> byNameAnyTechnology_;
  // VST3 entries by each compatible id, and by the 14-digit VST3-form prefix
  // of a VST2 plug-in that their id or a compatible id carries.
  std::unordered_map<std::string, Entries> byCompatible_;
  std::unordered_map<std::string, Entries> byVst2Prefix_;
};

}  // namespace vernatto::project
