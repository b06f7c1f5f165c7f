#include "daw/inflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <string>

namespace vernatto::daw {
namespace {

constexpr std::size_t kInputChunk = 64 * 1024;

int windowBits(Wrapping wrapping) {
  switch (wrapping) {
    case Wrapping::gzip:
      return 16 + MAX_WBITS;
    case Wrapping::zlib:
      return MAX_WBITS;
    case Wrapping::raw:
      break;
  }
  return -MAX_WBITS;
}

std::string sizeText(std::uint64_t bytes) {
  constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;
  if (bytes >= kGiB && bytes % kGiB == 0)
    return std::to_string(bytes / kGiB) + " GiB";
  return std::to_string(bytes) + " bytes";
}

}  // namespace

struct InflatingSource::Stream {
  xml::ByteSource& compressed;
  std::uint64_t limit;
  std::uint64_t produced = 0;
  z_stream z{};
  bool initialised = false;
  bool inputEnded = false;
  bool ended = false;
  unsigned char input[kInputChunk];

  Stream(xml::ByteSource& c, std::uint64_t l) : compressed(c), limit(l) {}
};

InflatingSource::InflatingSource(xml::ByteSource& compressed, Wrapping wrapping,
                                 std::uint64_t limit)
    : stream_(std::make_unique<Stream>(compressed, limit)) {
  stream_->initialised = inflateInit2(&stream_->z, windowBits(wrapping)) == Z_OK;
  if (!stream_->initialised)
    fail("too large: no memory to inflate");
}

InflatingSource::~InflatingSource() {
  if (stream_->initialised)
    inflateEnd(&stream_->z);
}

std::size_t InflatingSource::read(char* buffer, std::size_t capacity) {
  Stream& s = *stream_;
  if (s.ended || !problem().empty() || capacity == 0)
    return 0;
  // One byte past the limit shows that the data goes beyond it.
  const std::uint64_t room = s.limit - s.produced + 1;
  const std::size_t wanted = static_cast<std::size_t>(
      std::min<std::uint64_t>({capacity, room, std::uint64_t{UINT_MAX}}));
  s.z.next_out = reinterpret_cast<Bytef*>(buffer);
  s.z.avail_out = static_cast<uInt>(wanted);
  while (s.z.avail_out > 0) {
    if (s.z.avail_in == 0 && !s.inputEnded) {
      const std::size_t count =
          s.compressed.read(reinterpret_cast<char*>(s.input), kInputChunk);
      if (count == 0 && !s.compressed.problem().empty()) {
        fail(s.compressed.problem());
        break;
      }
      s.inputEnded = count == 0;
      s.z.next_in = s.input;
      s.z.avail_in = static_cast<uInt>(count);
    }
    const int result = inflate(&s.z, Z_NO_FLUSH);
    if (result == Z_STREAM_END) {
      s.ended = true;
      break;
    }
    if (result == Z_BUF_ERROR && s.inputEnded) {
      fail("cut off: the compressed data ends early");
      break;
    }
    if (result == Z_MEM_ERROR) {
      fail("too large: no memory to inflate");
      break;
    }
    if (result != Z_OK && result != Z_BUF_ERROR) {
      fail(std::string("damaged: ") +
           (s.z.msg != nullptr ? s.z.msg : "not valid compressed data"));
      break;
    }
  }
  std::size_t count = wanted - s.z.avail_out;
  s.produced += count;
  if (s.produced > s.limit) {
    count -= static_cast<std::size_t>(s.produced - s.limit);
    s.produced = s.limit;
    fail("too large: it inflates past " + sizeText(s.limit));
  }
  return count;
}

}  // namespace vernatto::daw
