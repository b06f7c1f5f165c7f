#include "scan/pe.h"

#include <cstdint>
#include <utility>

#include "scan/bytes.h"
#include "scan/pe_version.h"

namespace vernatto::scan {
namespace {

// Plug-ins export a handful of names; the bound stops a hostile count from
// turning into millions of reads.
constexpr std::uint32_t kMaxExports = 1 << 16;
constexpr std::size_t kMaxNameLength = 4096;
constexpr std::uint32_t kMaxVersionSize = 1 << 20;
constexpr std::uint32_t kResourceTypeVersion = 16;
constexpr std::uint32_t kSubdirectory = 0x80000000;

struct Section {
  std::uint32_t virtualAddress;
  std::uint32_t rawSize;
  std::uint32_t rawOffset;
};

enum class Lookup { kFound, kAbsent, kBroken };
// The three levels of the resource tree: type, name, language.
enum class Level { kType, kName, kLanguage };

struct Range {
  std::uint32_t rva = 0;
  std::uint32_t size = 0;
};

class Image {
 public:
  explicit Image(ByteSource& source) : source_(source) {}

  bool readHeaders(std::string& problem);
  bool readExports(std::vector<std::string>& names, std::string& problem);
  bool readVersionBytes(std::string& bytes, std::string& problem);

 private:
  // Reads the optional header's export and resource directories.
  bool readDirectories(std::uint64_t at, std::uint16_t size);
  // Where [rva, rva + length) lies in the file, when wholly inside the stored
  // bytes of one section; `end` is where that section's bytes end.
  bool locate(std::uint32_t rva, std::uint64_t length, std::uint64_t& offset,
              std::uint64_t& end) const;
  bool readAt(std::uint32_t rva, std::uint64_t length, std::string& out) const;
  Lookup resourceEntry(std::uint32_t directory, Level level, std::uint32_t& target);

  ByteSource& source_;
  std::vector<Section> sections_;
  Range exports_;
  Range resources_;
};

bool Image::readHeaders(std::string& problem) {
  std::string dos, coff, table;
  if (!source_.read(0, 64, dos) || dos.compare(0, 2, "MZ") != 0) {
    problem = "not a Windows binary (no MZ header)";
    return false;
  }
  const std::uint64_t peAt = load32(dos, 0x3C);
  if (!source_.read(peAt, 24, coff) ||
      coff.compare(0, 4, std::string("PE\0\0", 4)) != 0) {
    problem = "not a Windows binary (no PE header)";
    return false;
  }
  const std::uint16_t optionalSize = load16(coff, 20);
  if (!readDirectories(peAt + 24, optionalSize)) {
    problem = "unreadable PE optional header";
    return false;
  }
  const std::uint16_t count = load16(coff, 6);
  if (!source_.read(peAt + 24 + optionalSize, std::uint64_t{count} * 40, table)) {
    problem = "PE section table outside the file";
    return false;
  }
  for (std::size_t at = 0; at < table.size(); at += 40)
    sections_.push_back(
        {load32(table, at + 12), load32(table, at + 16), load32(table, at + 20)});
  return true;
}

bool Image::readDirectories(std::uint64_t at, std::uint16_t size) {
  std::string optional;
  source_.read(at, size, optional);
  // PE32 and PE32+ differ here only in where the data directories start.
  const std::uint16_t magic = load16(optional, 0);
  const std::size_t directoriesAt = magic == 0x20b ? 112 : 96;
  if ((magic != 0x10b && magic != 0x20b) || optional.size() < directoriesAt)
    return false;
  const std::uint32_t directoryCount = load32(optional, directoriesAt - 4);
  auto directory = [&](std::uint32_t index) {
    const std::size_t entry = directoriesAt + 8 * std::size_t{index};
    return index < directoryCount && entry + 8 <= optional.size()
               ? Range{load32(optional, entry), load32(optional, entry + 4)}
               : Range{};
  };
  exports_ = directory(0);
  resources_ = directory(2);
  return true;
}

bool Image::locate(std::uint32_t rva, std::uint64_t length, std::uint64_t& offset,
                   std::uint64_t& end) const {
  for (const Section& section : sections_) {
    const std::uint32_t delta = rva - section.virtualAddress;
    if (rva < section.virtualAddress || delta >= section.rawSize)
      continue;
    if (length > section.rawSize - delta)
      return false;
    offset = std::uint64_t{section.rawOffset} + delta;
    end = std::uint64_t{section.rawOffset} + section.rawSize;
    return true;
  }
  return false;
}

bool Image::readAt(std::uint32_t rva, std::uint64_t length, std::string& out) const {
  std::uint64_t offset = 0, end = 0;
  return locate(rva, length, offset, end) && source_.read(offset, length, out);
}

bool Image::readExports(std::vector<std::string>& names, std::string& problem) {
  std::string directory, table, name;
  if (exports_.rva == 0)
    return true;
  const std::uint32_t count =
      readAt(exports_.rva, 40, directory) ? load32(directory, 24) : 0;
  if (directory.empty() || count > kMaxExports ||
      (count > 0 && !readAt(load32(directory, 32), std::uint64_t{count} * 4, table))) {
    problem = "unreadable export table";
    return false;
  }
  std::vector<std::string> read;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint64_t offset = 0, end = 0;
    if (!locate(load32(table, 4 * i), 1, offset, end) ||
        !source_.readText(offset, end, kMaxNameLength, name)) {
      problem = "export name outside the file";
      return false;
    }
    read.push_back(name);
  }
  names = std::move(read);
  return true;
}

// How much a language is wanted: neutral, then US English, then any English,
// as a version shown to every user should read; 0 for the rest.
int languageRank(std::uint32_t id) {
  return id == 0 ? 3 : id == 0x409 ? 2 : (id & 0x3FF) == 0x09 ? 1 : 0;
}

// Looks in the resource directory at `directory` (an offset into the
// resources) for the version type's entry, the first name, or the most
// wanted language, first of equals.
Lookup Image::resourceEntry(std::uint32_t directory, Level level, std::uint32_t& target) {
  std::string header, entries;
  if (!readAt(resources_.rva + directory, 16, header))
    return Lookup::kBroken;
  const std::uint32_t count = std::uint32_t{load16(header, 12)} + load16(header, 14);
  if (!readAt(resources_.rva + directory + 16, std::uint64_t{count} * 8, entries))
    return Lookup::kBroken;
  int best = -1;
  for (std::size_t at = 0; at < entries.size(); at += 8) {
    const std::uint32_t id = load32(entries, at);
    const int rank = level == Level::kLanguage    ? languageRank(id)
                     : level == Level::kName      ? 0
                     : id == kResourceTypeVersion ? 0
                                                  : -1;
    if (rank > best) {
      best = rank;
      target = load32(entries, at + 4);
    }
  }
  if (best >= 0)
    return Lookup::kFound;
  return level == Level::kType ? Lookup::kAbsent : Lookup::kBroken;
}

bool Image::readVersionBytes(std::string& bytes, std::string& problem) {
  std::string leaf;
  std::uint32_t target = 0;
  const Lookup type =
      resources_.rva == 0 ? Lookup::kAbsent : resourceEntry(0, Level::kType, target);
  if (type != Lookup::kFound) {
    problem = type == Lookup::kBroken ? "unreadable resource directory" : "";
    return false;
  }
  for (const Level level : {Level::kName, Level::kLanguage}) {
    if ((target & kSubdirectory) == 0 ||
        resourceEntry(target & ~kSubdirectory, level, target) != Lookup::kFound) {
      problem = "unreadable version resource directory";
      return false;
    }
  }
  if ((target & kSubdirectory) != 0 || !readAt(resources_.rva + target, 16, leaf) ||
      load32(leaf, 4) > kMaxVersionSize ||
      !readAt(load32(leaf, 0), load32(leaf, 4), bytes)) {
    problem = "version resource outside the file";
    return false;
  }
  return true;
}

}  // namespace

bool readPeImage(std::istream& in, PeImage& image, std::string& problem) {
  ByteSource source(in);
  Image reader(source);
  if (!source.ok()) {
    problem = "the binary cannot be read";
    return false;
  }
  if (!reader.readHeaders(problem))
    return false;
  std::string exportProblem, versionProblem, bytes;
  reader.readExports(image.exports, exportProblem);
  if (reader.readVersionBytes(bytes, versionProblem)) {
    image.hasVersion = parseVersionInfo(bytes, image.version);
    if (!image.hasVersion)
      versionProblem = "unreadable version resource";
  }
  problem = exportProblem.empty() || versionProblem.empty()
                ? exportProblem + versionProblem
                : exportProblem + "; " + versionProblem;
  return true;
}

}  // namespace vernatto::scan
