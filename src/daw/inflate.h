// Compressed project files read as they inflate, through fixed buffers, so
// that memory does not grow with the file or with what it inflates to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "daw/xml.h"

namespace vernatto::daw {

// How the deflated data is wrapped.
enum class Wrapping {
  gzip,  // RFC 1952, as .als files are
  zlib,  // RFC 1950, as .mmpz files are after their length
  raw,   // RFC 1951 alone, as zip members are
};

// No member inflates past this: beyond it the data is taken for a bomb.
constexpr std::uint64_t kMaxInflated = std::uint64_t{4} << 30;

// The inflated bytes of `compressed`. Its problem, once read() returns 0
// early, is one of: the compressed source's own, "cut off" (the data ends
// before its end mark), "damaged" (not valid deflated data, or a wrong
// check), or "too large" (it inflates past `limit` bytes). Bytes after the
// end mark are not read.
class InflatingSource : public xml::ByteSource {
 public:
  InflatingSource(xml::ByteSource& compressed, Wrapping wrapping,
                  std::uint64_t limit = kMaxInflated);
  ~InflatingSource() override;
  InflatingSource(const InflatingSource&) = delete;
  InflatingSource& operator=(const InflatingSource&) = delete;

  std::size_t read(char* buffer, std::size_t capacity) override;

 private:
  struct Stream;
  std::unique_ptr<Stream> stream_;
};

}  // namespace vernatto::daw
