// Cubase and Nuendo projects: a RIFF file of form "NUND" whose chunks hold
// serialised objects, big-endian, each member a length-prefixed name and a
// typed value. A plug-in is a "Plugin UID" object holding its "GUID", then
// the "Plugin Name" and, when the track was renamed, the "Original Plugin
// Name". The chunks are scanned for those records in blocks, so that
// memory stays small whatever the file's size.
#include <algorithm>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>

#include "daw/readers.h"
#include "inventory/plugin_id.h"

namespace vernatto::daw {
namespace {

using namespace std::string_view_literals;

// The record's first member name as stored: its length, then its bytes.
constexpr std::string_view kRecordKey = "\0\0\0\x0bPlugin UID\0"sv;
// How far past its key a record is read; longer names are damage.
constexpr std::size_t kMaxRecord = std::size_t{1} << 16;
constexpr std::size_t kMaxName = 256;   // of a member
constexpr std::size_t kMaxText = 4096;  // of a text value
// Far more plug-ins than any project uses: a file with more is hostile, and
// memory would grow with it.
constexpr std::size_t kMaxPlugins = 10000;
constexpr std::size_t kBlock = std::size_t{1} << 20;

// Cubase's own channel processors: every channel has them, nothing installs
// them. Known by id where a project showed it, by name for the panners'
// other modes.
constexpr std::string_view kOwnIds[] = {
    "44E1149EDB3E4387BDD827FEA3A39EE7",  // Standard Panner
    "D56B9C6CA4F946018EED73EB83A74B58",  // Input Filter
    "297BA567D83144E1AE921DEF07B41156",  // the channel EQ
};
constexpr std::string_view kOwnNames[] = {
    "Standard Panner",    "Stereo Balance Panner", "Stereo Combined Panner",
    "Stereo Dual Panner", "VST MultiPanner",       "Input Filter",
};

std::uint32_t bigEndian32(const char* bytes) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i)
    value = value << 8 | static_cast<unsigned char>(bytes[i]);
  return value;
}

// Reads members of a record; past the bytes it has, it says so.
struct Cursor {
  std::string_view bytes;
  std::size_t at = 0;
  bool ranOut = false;

  bool take(std::size_t size, std::string_view& out) {
    if (bytes.size() - at < size) {
      ranOut = true;
      return false;
    }
    out = bytes.substr(at, size);
    at += size;
    return true;
  }
  bool number(std::size_t size, std::uint32_t& value) {
    std::string_view raw;
    if (!take(size, raw))
      return false;
    value = 0;
    for (const char c : raw)
      value = value << 8 | static_cast<unsigned char>(c);
    return true;
  }
  // A member's name: a length, then as many bytes ending in a NUL.
  bool name(std::string_view& out) {
    std::uint32_t size = 0;
    if (!number(4, size) || size == 0 || size > kMaxName)
      return false;
    return take(size, out) && out.back() == '\0' && (out.remove_suffix(1), true);
  }
  // A text value: type 8, a length, then the bytes up to the first NUL
  // (Cubase puts a byte order mark after it).
  bool text(std::string_view& out) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (!number(2, type) || type != 8 || !number(4, size) || size > kMaxText)
      return false;
    if (!take(size, out))
      return false;
    out = out.substr(0, out.find('\0'));
    return true;
  }
};

enum class Record { kRead, kDamaged, kShort, kTooMany };

// Reads the record whose key begins `bytes`; `chunkEnds` when the chunk
// ends where `bytes` do, so that a record may end there too.
Record readRecord(std::string_view bytes, bool chunkEnds, ProjectReading& reading) {
  Cursor cursor{bytes, kRecordKey.size()};
  std::uint32_t type = 0;
  std::uint32_t ignored = 0;
  std::string_view member;
  std::string_view guid;
  if (!cursor.number(2, type) || type != 2 || !cursor.number(2, ignored) ||
      !cursor.number(4, ignored) || !cursor.name(member) || member != "GUID" ||
      !cursor.text(guid))
    return cursor.ranOut ? Record::kShort : Record::kDamaged;
  std::string_view shownName;
  std::string_view originalName;
  for (int i = 0; i < 2; ++i) {
    const std::size_t before = cursor.at;
    std::string_view value;
    if (cursor.name(member) &&
        (member == "Plugin Name" || member == "Original Plugin Name") &&
        cursor.text(value)) {
      (member == "Plugin Name" ? shownName : originalName) = value;
      continue;
    }
    if (cursor.ranOut && !(chunkEnds && cursor.at == before))
      return Record::kShort;
    cursor.at = before;  // another member: the record's names are done
    break;
  }
  const std::string id = inventory::vst3IdFromText(guid);
  if (id.empty())
    return Record::kDamaged;
  if (std::find(std::begin(kOwnIds), std::end(kOwnIds), id) != std::end(kOwnIds) ||
      std::find(std::begin(kOwnNames), std::end(kOwnNames), shownName) !=
          std::end(kOwnNames))
    return Record::kRead;
  Reference reference;
  reference.name = std::string(originalName.empty() ? shownName : originalName);
  if (inventory::isVst2InVst3Form(id)) {
    reference.technology = "VST2";
    reference.id = inventory::vst2IdFromVst3Form(id);
  } else {
    reference.technology = "VST3";
    reference.id = id;
  }
  reading.add(std::move(reference));
  return Record::kRead;
}

// Scans one chunk's `size` bytes for plug-in records. Returns false when
// the file ends before the chunk does.
bool scanChunk(std::istream& in, std::uint64_t size, std::uint64_t offset,
               ProjectReading& reading) {
  std::string window;
  std::uint64_t left = size;
  bool cut = false;
  const auto fill = [&](std::size_t most) {
    const std::size_t want =
        static_cast<std::size_t>(std::min<std::uint64_t>(most, left));
    const std::size_t had = window.size();
    window.resize(had + want);
    in.read(window.data() + had, static_cast<std::streamsize>(want));
    const std::size_t got = static_cast<std::size_t>(in.gcount());
    window.resize(had + got);
    left -= got;
    if (got < want) {
      cut = true;
      left = 0;
    }
  };
  const auto drop = [&](std::size_t count) {
    window.erase(0, count);
    offset += count;
  };
  fill(kBlock);
  for (std::size_t from = 0;;) {
    // The name's text is rarer in the bytes than its length's zeros.
    const std::size_t text = window.find(kRecordKey.substr(4), from + 4);
    if (text != std::string::npos && window.compare(text - 4, 4, kRecordKey, 0, 4) != 0) {
      from = text - 3;
      continue;
    }
    const std::size_t found = text == std::string::npos ? text : text - 4;
    if (found == std::string::npos) {
      if (left == 0)
        return !cut;
      // A key may begin in the bytes kept.
      drop(window.size() - std::min(window.size(), kRecordKey.size() - 1));
      from = 0;
      fill(kBlock);
      continue;
    }
    std::size_t record = found;
    if (window.size() - record < kMaxRecord && left > 0) {
      // A whole block more, so that dense records do not move bytes often.
      drop(record);
      record = 0;
      fill(kBlock);
    }
    const Record read = reading.references.size() == kMaxPlugins
                            ? Record::kTooMany
                            : readRecord(std::string_view(window).substr(record),
                                         left == 0 && !cut, reading);
    if (read == Record::kTooMany)
      reading.fail("more than " + std::to_string(kMaxPlugins) + " different plug-ins");
    if (read == Record::kDamaged || (read == Record::kShort && !cut))
      reading.fail("a damaged plug-in record at byte " + std::to_string(offset + record));
    from = record + kRecordKey.size();
  }
}

}  // namespace

void readCubase(std::istream& in, ProjectReading& reading) {
  char header[12] = {};
  in.read(header, sizeof header);
  if (in.gcount() < 12 || std::string_view(header, 4) != "RIFF" ||
      std::string_view(header + 8, 4) != "NUND")
    return reading.fail(in.gcount() < 12 && in.gcount() >= 4 &&
                                std::string_view(header, 4) == "RIFF"
                            ? "cut off in its header"
                            : "not a Cubase or Nuendo project: no RIFF NUND header");
  // The size Cubase writes counts what follows the form type.
  const std::uint64_t end = 12 + std::uint64_t{bigEndian32(header + 4)};
  for (std::uint64_t at = 12; at < end;) {
    char chunk[8];
    in.read(chunk, sizeof chunk);
    // A file that ends where the form type's four bytes would also be
    // counted is whole: RIFF writers differ on that.
    if (in.gcount() == 0 && end - at <= 4)
      break;
    if (in.gcount() < 8)
      return reading.fail("cut off at byte " +
                          std::to_string(at + std::uint64_t(in.gcount())) +
                          ": its header says " + std::to_string(end) + " bytes");
    const std::uint64_t size = bigEndian32(chunk + 4);
    if (!scanChunk(in, size, at + 8, reading))
      return reading.fail("cut off: the chunk at byte " + std::to_string(at) +
                          " runs past the end of the file");
    if (at + 8 + size > end)
      return reading.fail("damaged: the chunk at byte " + std::to_string(at) +
                          " runs past the end its header gives");
    at += 8 + size;
  }
  if (in.bad())
    reading.fail("the file could not be read to its end");
}

}  // namespace vernatto::daw
