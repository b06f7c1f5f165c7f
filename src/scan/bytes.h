// Bounds-checked reads from a seekable stream, shared by the binary readers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <string>

namespace vernatto::scan {

class ByteSource {
 public:
  // Measures `in` by seeking to its end; ok() says whether that worked.
  explicit ByteSource(std::istream& in);

  bool ok() const { return ok_; }
  std::uint64_t size() const { return size_; }

  // Replaces `out` with the `count` bytes at `offset`. Returns false, leaving
  // `out` empty, when the range is not wholly inside the input or the stream
  // fails.
  bool read(std::uint64_t offset, std::uint64_t count, std::string& out);

  // Replaces `out` with the NUL-terminated text at `offset`. Returns false
  // when no NUL comes before `end`, the input's end or `limit` bytes.
  bool readText(std::uint64_t offset, std::uint64_t end, std::size_t limit,
                std::string& out);

 private:
  std::istream& in_;
  std::uint64_t size_ = 0;
  bool ok_ = false;
};

// The unsigned integer of 2, 4 or 8 bytes at `at` in `bytes`, little-endian
// unless `bigEndian`; 0 when the bytes are not all there.
std::uint16_t load16(const std::string& bytes, std::size_t at, bool bigEndian = false);
std::uint32_t load32(const std::string& bytes, std::size_t at, bool bigEndian = false);
std::uint64_t load64(const std::string& bytes, std::size_t at, bool bigEndian = false);

}  // namespace vernatto::scan
