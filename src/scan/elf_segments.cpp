#include "scan/elf_segments.h"

#include <algorithm>
#include <map>
#include <vector>

namespace vernatto::scan {
namespace {

constexpr std::uint32_t kLoadSegment = 1, kDynamicSegment = 2;
constexpr std::uint64_t kTagHash = 4, kTagStrings = 5, kTagSymbols = 6,
                        kTagStringsSize = 10, kTagSymbolSize = 11,
                        kTagGnuHash = 0x6ffffef5;
// Bounds the walk along a hash chain, which a hostile file may leave open.
constexpr std::uint64_t kMaxSymbols = 1 << 24;

struct Segment {
  std::uint32_t type = 0;
  std::uint64_t offset = 0;
  std::uint64_t address = 0;
  std::uint64_t fileSize = 0;
};

class Segments {
 public:
  Segments(ByteSource& source, ElfFormat format) : source_(source), format_(format) {}

  bool read(const std::string& header);
  bool readTags(std::map<std::uint64_t, std::uint64_t>& tags);
  bool fileOffset(std::uint64_t address, std::uint64_t& offset) const;
  bool symbolCount(const std::map<std::uint64_t, std::uint64_t>& tags,
                   std::uint64_t& count);

 private:
  std::uint32_t word(const std::string& b, std::size_t at) const {
    return load32(b, at, format_.big);
  }
  std::uint64_t wide(const std::string& b, std::size_t at) const {
    return format_.is64 ? load64(b, at, format_.big) : load32(b, at, format_.big);
  }
  bool gnuHashCount(std::uint64_t at, std::uint64_t& count);

  ByteSource& source_;
  ElfFormat format_;
  std::vector<Segment> segments_;
};

bool Segments::read(const std::string& header) {
  const bool is64 = format_.is64;
  const std::uint64_t at = wide(header, is64 ? 0x20 : 0x1C);
  const std::uint64_t size = load16(header, is64 ? 0x36 : 0x2A, format_.big);
  const std::uint64_t count = load16(header, is64 ? 0x38 : 0x2C, format_.big);
  std::string bytes;
  if (at == 0 || size < (is64 ? 56u : 32u) || !source_.read(at, count * size, bytes))
    return false;
  for (std::size_t i = 0; i < bytes.size(); i += size) {
    segments_.push_back({word(bytes, i), wide(bytes, i + (is64 ? 8 : 4)),
                         wide(bytes, i + (is64 ? 16 : 8)),
                         wide(bytes, i + (is64 ? 32 : 16))});
  }
  return true;
}

bool Segments::readTags(std::map<std::uint64_t, std::uint64_t>& tags) {
  const auto dynamic =
      std::find_if(segments_.begin(), segments_.end(),
                   [](const Segment& s) { return s.type == kDynamicSegment; });
  std::string bytes;
  if (dynamic == segments_.end() ||
      !source_.read(dynamic->offset, dynamic->fileSize, bytes))
    return false;
  const std::size_t entry = format_.is64 ? 16 : 8;
  // The first of a repeated tag counts, as for the loader; a zero tag ends the list.
  for (std::size_t i = 0; i + entry <= bytes.size() && wide(bytes, i) != 0; i += entry)
    tags.emplace(wide(bytes, i), wide(bytes, i + entry / 2));
  return true;
}

bool Segments::fileOffset(std::uint64_t address, std::uint64_t& offset) const {
  for (const Segment& s : segments_) {
    if (s.type == kLoadSegment && address >= s.address &&
        address - s.address < s.fileSize) {
      offset = s.offset + (address - s.address);
      return true;
    }
  }
  return false;
}

// A GNU hash table does not store the number of symbols: it is one past the
// end of the chain that starts at the highest bucket.
bool Segments::gnuHashCount(std::uint64_t at, std::uint64_t& count) {
  std::string head, buckets, chain;
  if (!source_.read(at, 16, head))
    return false;
  const std::uint64_t bucketCount = word(head, 0), first = word(head, 4);
  const std::uint64_t bucketsAt =
      at + 16 + std::uint64_t{word(head, 8)} * (format_.is64 ? 8 : 4);
  if (!source_.read(bucketsAt, bucketCount * 4, buckets))
    return false;
  std::uint64_t last = 0;
  for (std::size_t i = 0; i < buckets.size(); i += 4)
    last = std::max<std::uint64_t>(last, word(buckets, i));
  if (last < first) {
    count = first;
    return true;
  }
  const std::uint64_t chainsAt = bucketsAt + bucketCount * 4;
  for (std::uint64_t i = last; i - last < kMaxSymbols; ++i) {
    if (!source_.read(chainsAt + (i - first) * 4, 4, chain))
      return false;
    if ((word(chain, 0) & 1) != 0) {
      count = i + 1;
      return true;
    }
  }
  return false;
}

bool Segments::symbolCount(const std::map<std::uint64_t, std::uint64_t>& tags,
                           std::uint64_t& count) {
  std::uint64_t at = 0;
  std::string head;
  if (const auto gnu = tags.find(kTagGnuHash); gnu != tags.end())
    return fileOffset(gnu->second, at) && gnuHashCount(at, count);
  const auto hash = tags.find(kTagHash);
  if (hash == tags.end() || !fileOffset(hash->second, at) || !source_.read(at, 8, head))
    return false;
  count = word(head, 4);  // the number of chains, one per symbol
  return true;
}

}  // namespace

bool findDynamicSymbolsBySegments(ByteSource& source, ElfFormat format,
                                  const std::string& header, ElfTable& symbols,
                                  ElfTable& names) {
  Segments segments(source, format);
  std::map<std::uint64_t, std::uint64_t> tags;
  std::uint64_t count = 0;
  if (!segments.read(header) || !segments.readTags(tags) ||
      tags.count(kTagSymbols) == 0 || tags.count(kTagStrings) == 0 ||
      !segments.symbolCount(tags, count) || count > kMaxSymbols ||
      !segments.fileOffset(tags[kTagSymbols], symbols.offset) ||
      !segments.fileOffset(tags[kTagStrings], names.offset))
    return false;
  const std::uint64_t standard = format.is64 ? 24 : 16;
  const std::uint64_t entry =
      tags.count(kTagSymbolSize) ? tags[kTagSymbolSize] : standard;
  symbols.entrySize = entry >= standard && entry <= 1024 ? entry : standard;
  symbols.size = count * symbols.entrySize;
  names.size = tags.count(kTagStringsSize) ? tags[kTagStringsSize] : 0;
  return true;
}

}  // namespace vernatto::scan
