// Zip archives (DAWproject, Studio One) read from a seekable stream, never
// from the file system: members found by name and read as streams of their
// inflated bytes, one member at a time, in constant memory. Every size and
// check sum an archive states is held to what its members really hold.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

#include "daw/reference.h"

namespace vernatto::daw {

// The most a member may inflate to; a member that goes past it is cut off as
// too large, whatever its header says.
inline constexpr std::uint64_t kMaxZipMemberSize = std::uint64_t{4} << 30;

class ZipArchive {
 public:
  // Opens the archive `in` holds, from the stream's start; `in` must be
  // seekable and outlive the archive. Never throws: a stream that holds no
  // readable archive gives one whose isOpen() is false.
  explicit ZipArchive(std::istream& in);
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  bool isOpen() const { return handle_ != nullptr; }
  // Why the archive could not be opened: one line; empty when it was.
  const std::string& problem() const { return problem_; }

  // Whether a member is named `name`, compared byte for byte.
  bool has(std::string_view name);
  // Whether any member's name begins with `prefix`.
  bool hasMemberUnder(std::string_view prefix);

  // Opens member `name`: a stream of its inflated bytes. When the member is
  // missing, encrypted, compressed in a way not read, damaged, cut off,
  // larger or smaller than its header says, fails its check sum or inflates
  // past `limit`, calls `reading.fail` with one line naming it, at the point
  // the fault shows (so that it is the first problem the reading keeps), and
  // the stream ends there; a missing member gives a null pointer. Opening
  // another member ends the stream of the one before.
  std::unique_ptr<std::istream> open(std::string_view name, ProjectReading& reading,
                                     std::uint64_t limit = kMaxZipMemberSize);

  struct Io;  // what minizip's file functions reach

 private:
  std::unique_ptr<Io> io_;
  void* handle_ = nullptr;  // minizip's unzFile
  std::string problem_;
};

// Whether the stream's first bytes are a zip archive's signature (a local
// member's, or an empty archive's end record). Leaves `in` at its start.
bool looksLikeZip(std::istream& in);

}  // namespace vernatto::daw
