#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <istream>
#include <new>
#include <ostream>

#include <nlohmann/json.hpp>

#include "inventory/inventory.h"

namespace vernatto::inventory {
namespace {

using nlohmann::json;

// The members an entry is read from; every other key is skipped.
enum class Member {
  kVendor,
  kName,
  kTechnology,
  kModifiedTime,
  kVersion,
  kId,  // these three only for an inventory that keeps details
  kPath,
  kCompatible,
  kNone
};

// The five keys of every entry differ in length, so the length picks the one
// to compare; the details' keys come second.
Member memberOf(std::string_view key, bool details) {
  switch (key.size()) {
    case 6:
      return key == "vendor" ? Member::kVendor : Member::kNone;
    case 4:
      if (key == "name")
        return Member::kName;
      return details && key == "path" ? Member::kPath : Member::kNone;
    case 2:
      return details && key == "id" ? Member::kId : Member::kNone;
    case 10:
      if (key == "technology")
        return Member::kTechnology;
      return details && key == "compatible" ? Member::kCompatible : Member::kNone;
    case 12:
      return key == "modifiedTime" ? Member::kModifiedTime : Member::kNone;
    case 7:
      return key == "version" ? Member::kVersion : Member::kNone;
    default:
      return Member::kNone;
  }
}

// A modifiedTime as the parser delivered it; kNone stands for every value
// that is not a number (absent, null, text, boolean, object, array).
struct TimeValue {
  enum class Kind { kNone, kUnsigned, kInteger, kFloat } kind = Kind::kNone;
  std::uint64_t unsignedValue = 0;
  std::int64_t integerValue = 0;
  double floatValue = 0.0;
};

// Integers are taken bit for bit (so -1 is the largest value); other numbers
// are truncated toward zero and must then fit. A float that does not fit has
// no value here, and casting it would be undefined. Returns false when the
// value cannot be converted.
bool toModifiedTime(const TimeValue& value, std::uint64_t& result) {
  switch (value.kind) {
    case TimeValue::Kind::kUnsigned:
      result = value.unsignedValue;
      return true;
    case TimeValue::Kind::kInteger:
      result = static_cast<std::uint64_t>(value.integerValue);
      return true;
    case TimeValue::Kind::kFloat: {
      const double truncated = std::trunc(value.floatValue);
      constexpr double kTwoTo64 = 18446744073709551616.0;
      if (truncated >= 0.0 && truncated < kTwoTo64) {
        result = static_cast<std::uint64_t>(truncated);
        return true;
      }
      return false;
    }
    case TimeValue::Kind::kNone:
      break;
  }
  return false;
}

// The kinds of member value that count; anything else behaves like absence.
enum class Value { kText, kNumber, kNull, kOther };

// Builds entries straight from the parser's events, with the results a
// document built by the same parser would give: the parser's document builder
// appends an element at its first byte (a container) or once complete (a
// scalar), and a member's value replaces the previous one once complete, or
// at its first byte when it is an object or array. A member that has seen
// only its key reads like an absent one. So each element needs no more than
// the five members' latest complete values, and nested values only by kind.
class EntryCollector {
 public:
  explicit EntryCollector(Inventory& inventory) : inventory_(inventory) {}

  bool null() { return scalar(Value::kNull); }
  bool boolean(bool) { return scalar(Value::kOther); }
  bool number_integer(json::number_integer_t value) {
    if (inMember(Member::kModifiedTime)) {
      time_.kind = TimeValue::Kind::kInteger;
      time_.integerValue = value;
    }
    return scalar(Value::kNumber);
  }
  bool number_unsigned(json::number_unsigned_t value) {
    if (inMember(Member::kModifiedTime)) {
      time_.kind = TimeValue::Kind::kUnsigned;
      time_.unsignedValue = value;
    }
    return scalar(Value::kNumber);
  }
  bool number_float(json::number_float_t value, const json::string_t&) {
    if (inMember(Member::kModifiedTime)) {
      time_.kind = TimeValue::Kind::kFloat;
      time_.floatValue = value;
    }
    return scalar(Value::kNumber);
  }
  bool string(json::string_t& value) {
    if (inElement())
      storeText(value);
    else if (compatibleOpen_ && depth_ == 3)
      details().compatible.push_back(inventory_.storeDetailText(value));
    return scalar(Value::kText);
  }
  bool binary(json::binary_t&) { return scalar(Value::kOther); }
  bool start_object(std::size_t) { return open(true); }
  bool start_array(std::size_t) { return open(false); }
  bool end_object() { return close(); }
  bool end_array() { return close(); }
  bool key(json::string_t& key) {
    if (inElement())
      member_ = memberOf(key, inventory_.keepsDetails());
    return true;
  }
  bool parse_error(std::size_t position, const std::string&,
                   const nlohmann::detail::exception&) {
    // The parser counts the bytes it has taken, the failing one included.
    failureOffset_ = position > 0 ? position - 1 : 0;
    return false;
  }

  // Completes the element that a failed parse left open, and says what the
  // stream held.
  ReadOutcome finish(bool whole) {
    ReadOutcome outcome;
    outcome.whole = whole;
    if (rootSeen_) {
      outcome.topLevel =
          rootIsArray_ ? ReadOutcome::Value::kArray : ReadOutcome::Value::kOther;
    }
    // Elements that are containers are appended at their first byte, so one
    // still open was cut; a scalar element is appended only once complete.
    outcome.lastElementCut = !whole && rootIsArray_ && depth_ >= 2;
    if (elementOpen_)
      completeElement();
    outcome.failureOffset = whole ? 0 : failureOffset_;
    return outcome;
  }

 private:
  // Whether the next value is a member of the open element (not nested deeper).
  bool inElement() const { return elementOpen_ && depth_ == 2; }
  bool inMember(Member member) const { return inElement() && member_ == member; }

  bool scalar(Value kind) {
    if (depth_ == 0) {
      rootSeen_ = true;
    } else if (rootIsArray_ && depth_ == 1) {
      inventory_.emplace_back();  // an element that is not an object
    } else if (inElement()) {
      setKind(kind);
    }
    return true;
  }

  bool open(bool isObject) {
    if (depth_ == 0) {
      rootSeen_ = true;
      rootIsArray_ = !isObject;
    } else if (rootIsArray_ && depth_ == 1) {
      inventory_.emplace_back();
      if (isObject)
        beginElement();
    } else if (inElement()) {
      setKind(Value::kOther);
      compatibleOpen_ = !isObject && member_ == Member::kCompatible;
    }
    ++depth_;
    return true;
  }

  bool close() {
    --depth_;
    if (depth_ == 2)
      compatibleOpen_ = false;
    if (elementOpen_ && depth_ == 1)
      completeElement();
    return true;
  }

  EntryDetails& details() { return inventory_.lastDetails(); }

  void beginElement() {
    elementOpen_ = true;
    for (bool& isText : isText_)
      isText = false;
    time_ = TimeValue{};
    version_ = Value::kNull;
    member_ = Member::kNone;
  }

  // Vendors and technologies repeat from entry to entry, so each distinct
  // one is stored once.
  void storeText(const json::string_t& value) {
    PluginEntry& entry = inventory_.back();
    switch (member_) {
      case Member::kVendor:
        entry.vendor = inventory_.storeSharedText(value);
        break;
      case Member::kName:
        entry.name = inventory_.storeText(value);
        break;
      case Member::kTechnology:
        entry.technology = inventory_.storeSharedText(value);
        break;
      case Member::kVersion:
        entry.version = inventory_.storeText(value);
        break;
      case Member::kId:
        details().id = inventory_.storeDetailText(value);
        break;
      case Member::kPath:
        details().path = inventory_.storeDetailText(value);
        break;
      case Member::kModifiedTime:
      case Member::kCompatible:
      case Member::kNone:
        break;
    }
  }

  void setKind(Value kind) {
    switch (member_) {
      case Member::kVendor:
      case Member::kName:
      case Member::kTechnology:
        isText_[static_cast<std::size_t>(member_)] = kind == Value::kText;
        break;
      case Member::kModifiedTime:
        if (kind != Value::kNumber)
          time_.kind = TimeValue::Kind::kNone;
        break;
      case Member::kVersion:
        version_ = kind;
        break;
      // A value that is not a text, or for compatible not an array of them,
      // reads as absent.
      case Member::kId:
        if (kind != Value::kText)
          details().id = {};
        break;
      case Member::kPath:
        if (kind != Value::kText)
          details().path = {};
        break;
      case Member::kCompatible:
        details().compatible.clear();
        break;
      case Member::kNone:
        break;
    }
  }

  // Reads the members in a fixed order; the first failure leaves the later
  // fields empty, so a broken element still yields what came before it.
  void completeElement() {
    elementOpen_ = false;
    PluginEntry& entry = inventory_.back();
    std::uint64_t time = 0;
    const bool hasVendor = isText_[0];
    const bool hasName = hasVendor && isText_[1];
    const bool hasTechnology = hasName && isText_[2];
    const bool hasTime = hasTechnology && toModifiedTime(time_, time);
    if (!hasVendor)
      entry.vendor = {};
    if (!hasName)
      entry.name = {};
    if (!hasTechnology)
      entry.technology = {};
    entry.modifiedTime = hasTime ? time : 0;
    if (!hasTime || version_ != Value::kText)
      entry.version = {};
  }

  Inventory& inventory_;
  std::size_t depth_ = 0;  // containers open around the next event
  bool rootIsArray_ = false;
  bool rootSeen_ = false;     // the first value has begun
  bool elementOpen_ = false;  // an object element of the top-level array
  Member member_ = Member::kNone;
  bool isText_[3] = {false, false, false};  // vendor, name, technology
  TimeValue time_;
  Value version_ = Value::kNull;
  bool compatibleOpen_ = false;  // in the array of an element's compatible ids
  std::uint64_t failureOffset_ = 0;
};

// The smallest element that yields a complete entry, with its separator:
// {"vendor":"","name":"","technology":"","modifiedTime":0},
constexpr std::uintmax_t kSmallestEntryBytes = 56;

// The bytes from the stream's position to its end, or 0 where it cannot seek.
std::uintmax_t bytesLeft(std::istream& in) {
  const std::streampos start = in.tellg();
  if (start == std::streampos(-1))
    return 0;
  in.seekg(0, std::ios::end);
  const std::streampos end = in.tellg();
  in.clear();
  in.seekg(start);
  return end > start ? static_cast<std::uintmax_t>(end - start) : 0;
}

// Makes room for as many complete entries as the stream could hold. Growing
// the inventory instead would move every entry several times and touch twice
// its memory; room that stays unused is never touched, so it costs address
// space but no memory.
void reserveFor(std::istream& in, Inventory& inventory) {
  const std::uintmax_t count = bytesLeft(in) / kSmallestEntryBytes;
  if (count >= inventory.max_size() - inventory.size())
    return;
  try {
    inventory.reserve(inventory.size() + static_cast<std::size_t>(count));
  } catch (const std::bad_alloc&) {
    // The room is only a speed-up: where a system will not grant that much
    // address space at once (a huge file, a strict commit limit), the
    // inventory grows as it goes instead.
  }
}

// Builds the echo line in `line` and writes it whole, ended with a newline
// and a flush: piecewise stream insertions cost more than the text itself
// over a million lines.
void writeEcho(const PluginEntry& entry, std::string& line, std::ostream& out) {
  line.assign(entry.vendor).append(" | ").append(entry.name).append(" | ");
  line.append(entry.technology).append(" | ").append(entry.version).append(" | ");
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, entry.modifiedTime).ptr;
  line.append(digits, end).push_back('\n');
  out.write(line.data(), static_cast<std::streamsize>(line.size()));
  out.flush();
}

// Counts the lines and columns up to `outcome.failureOffset` by reading the
// stream again from `start`; only a failure pays for it. Leaves them 0 when
// the stream cannot seek.
void locateFailure(std::istream& in, std::streampos start, ReadOutcome& outcome) {
  in.clear();
  if (start == std::streampos(-1) || !in.seekg(start))
    return;
  std::uint64_t line = 1;
  std::uint64_t column = 1;
  char buffer[1 << 14];
  for (std::uint64_t left = outcome.failureOffset; left > 0;) {
    in.read(buffer,
            static_cast<std::streamsize>(std::min<std::uint64_t>(left, sizeof buffer)));
    const std::streamsize got = in.gcount();
    if (got <= 0)
      return;
    for (std::streamsize i = 0; i < got; ++i) {
      const bool newline = buffer[i] == '\n';
      line += newline;
      column = newline ? 1 : column + 1;
    }
    left -= static_cast<std::uint64_t>(got);
  }
  outcome.failureLine = line;
  outcome.failureColumn = column;
}

}  // namespace

ReadOutcome readEntries(std::istream& in, Inventory& inventory) {
  const std::streampos start = in.tellg();
  reserveFor(in, inventory);
  EntryCollector collector(inventory);
  bool parsed = false;
  try {
    parsed = json::sax_parse(in, &collector, json::input_format_t::json,
                             /*strict=*/false, /*ignore_comments=*/false);
  } catch (...) {
    // Only running out of memory gets here; what was read still counts.
  }
  ReadOutcome outcome = collector.finish(parsed);
  if (!parsed) {
    // The parser leaves the end-of-file flag set when it ran out of input.
    outcome.endedEarly = in.eof();
    locateFailure(in, start, outcome);
  }
  return outcome;
}

std::string failureText(const ReadOutcome& outcome) {
  if (outcome.endedEarly && outcome.topLevel == ReadOutcome::Value::kNone &&
      outcome.failureOffset == 0)
    return "empty";
  std::string text = outcome.endedEarly ? "cut off at " : "not JSON at ";
  if (outcome.failureLine > 0) {
    text += "line " + std::to_string(outcome.failureLine) + ", column " +
            std::to_string(outcome.failureColumn) + " (byte " +
            std::to_string(outcome.failureOffset) + ")";
  } else {
    text += "byte " + std::to_string(outcome.failureOffset);
  }
  return text;
}

void readInventory(std::istream& in, const std::string& path, Inventory& inventory,
                   std::ostream& out) {
  out << "File: " << path << std::endl;

  const std::size_t start = inventory.size();
  if (!readEntries(in, inventory).whole)
    out << "failed reading file \"" << path << '"' << std::endl;

  out << inventory.size() - start << " entries" << std::endl;
  std::string line;
  for (std::size_t i = start; i < inventory.size(); ++i)
    writeEcho(inventory[i], line, out);

  sortInventory(inventory);
}

void readInventory(const std::string& path, Inventory& inventory, std::ostream& out) {
  std::ifstream file(std::filesystem::u8path(path));
  readInventory(file, path, inventory, out);
}

}  // namespace vernatto::inventory
