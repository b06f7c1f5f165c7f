#include "scan/bytes.h"

#include <algorithm>

namespace vernatto::scan {
namespace {

// Reads are done in pieces of this size, so that a count taken from a
// hostile file never allocates more than the file can deliver.
constexpr std::uint64_t kChunk = 1 << 16;

std::uint64_t load(const std::string& bytes, std::size_t at, std::size_t width,
                   bool bigEndian) {
  if (at > bytes.size() || bytes.size() - at < width)
    return 0;
  std::uint64_t value = 0;
  for (std::size_t i = 0; i < width; ++i) {
    const std::size_t index = bigEndian ? at + i : at + width - 1 - i;
    value = value << 8 | static_cast<unsigned char>(bytes[index]);
  }
  return value;
}

}  // namespace

ByteSource::ByteSource(std::istream& in) : in_(in) {
  in_.clear();
  in_.seekg(0, std::ios::end);
  const std::streamoff end = in_.tellg();
  ok_ = in_.good() && end >= 0;
  size_ = ok_ ? static_cast<std::uint64_t>(end) : 0;
}

bool ByteSource::read(std::uint64_t offset, std::uint64_t count, std::string& out) {
  out.clear();
  if (!ok_ || offset > size_ || size_ - offset < count)
    return false;
  in_.clear();
  in_.seekg(static_cast<std::streamoff>(offset));
  for (std::uint64_t done = 0; done < count;) {
    const std::size_t piece = static_cast<std::size_t>(std::min(kChunk, count - done));
    const std::size_t start = out.size();
    out.resize(start + piece);
    if (!in_.read(&out[start], static_cast<std::streamsize>(piece))) {
      out.clear();
      return false;
    }
    done += piece;
  }
  return true;
}

bool ByteSource::readText(std::uint64_t offset, std::uint64_t end, std::size_t limit,
                          std::string& out) {
  out.clear();
  const std::uint64_t stop = std::min({end, size_, offset + limit + 1});
  std::string piece;
  for (std::uint64_t at = offset; at < stop; at += piece.size()) {
    if (!read(at, std::min<std::uint64_t>(256, stop - at), piece))
      return false;
    const std::size_t nul = piece.find('\0');
    out.append(piece, 0, nul);
    if (nul != std::string::npos)
      return true;
  }
  out.clear();
  return false;
}

std::uint16_t load16(const std::string& bytes, std::size_t at, bool bigEndian) {
  return static_cast<std::uint16_t>(load(bytes, at, 2, bigEndian));
}

std::uint32_t load32(const std::string& bytes, std::size_t at, bool bigEndian) {
  return static_cast<std::uint32_t>(load(bytes, at, 4, bigEndian));
}

std::uint64_t load64(const std::string& bytes, std::size_t at, bool bigEndian) {
  return load(bytes, at, 8, bigEndian);
}

}  // namespace vernatto::scan
