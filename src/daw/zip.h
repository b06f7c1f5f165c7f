// Zip archives (DAWproject, Studio One) read from a seekable stream, never
// from the file system: members found by name and read as byte sources of their
// inflated bytes, one member at a time, in constant memory. Every size and
// check sum an archive states is held to what its members really hold.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "daw/inflate.h"
#include "daw/xml.h"

namespace vernatto::daw {

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

  // Opens member `name` for reading its inflated bytes; a null pointer when
  // there is none. A member that is encrypted, compressed in a way not read,
  // whose entry is impossible or that says it inflates past `limit` gives a
  // source that reads nothing; one that proves damaged, cut off, larger or
  // smaller than its header says or fails its check sum ends where that
  // shows. Either way the source's problem says why in one line naming the
  // member. Opening another member ends the source of the one before; the
  // archive must outlive its sources.
  std::unique_ptr<xml::ByteSource> open(std::string_view name,
                                        std::uint64_t limit = kMaxInflated);

  struct Io;  // what minizip's file functions reach

 private:
  std::unique_ptr<Io> io_;
  void* handle_ = nullptr;  // minizip's unzFile
  std::string problem_;
};

// Reads the XML document in member `name` into `handler`. When the member is
// missing, cannot be read or is no whole document, fails `reading` with one
// line naming it, keeping what the handler added before. Returns whether the
// whole member was read.
bool readXmlMember(ZipArchive& zip, std::string_view name, xml::Handler& handler,
                   ProjectReading& reading);

// Whether the stream's first bytes are a zip archive's signature (a local
// member's, or an empty archive's end record). Leaves `in` at its start.
bool looksLikeZip(std::istream& in);

}  // namespace vernatto::daw
