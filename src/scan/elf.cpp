#include "scan/elf.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "scan/bytes.h"
#include "scan/elf_segments.h"

namespace vernatto::scan {
namespace {

constexpr std::uint32_t kDynamicSymbolTable = 11;  // SHT_DYNSYM
// Real files have a few dozen sections; the bound stops a hostile count from
// turning into millions of reads.
constexpr std::uint64_t kMaxSections = 1 << 16;
constexpr unsigned kBindGlobal = 1, kBindWeak = 2, kBindUnique = 10;

struct Section {
  std::uint32_t type = 0;
  std::uint32_t link = 0;
  ElfTable table;
};

class Elf {
 public:
  explicit Elf(ByteSource& source) : source_(source) {}

  bool readHeader(std::string& problem);
  bool findDynamicSymbols(ElfTable& symbols, ElfTable& names, std::string& problem);
  bool readNames(const ElfTable& symbols, const ElfTable& names,
                 std::vector<std::string>& exports, std::string& problem);

 private:
  bool section(std::uint64_t index, Section& out);
  bool findDynamicSection(ElfTable& symbols, ElfTable& names, std::string& problem);
  std::uint16_t half(const std::string& b, std::size_t at) const {
    return load16(b, at, big_);
  }
  std::uint32_t word(const std::string& b, std::size_t at) const {
    return load32(b, at, big_);
  }
  // An address or offset: 8 bytes in ELF64, 4 in ELF32.
  std::uint64_t wide(const std::string& b, std::size_t at) const {
    return is64_ ? load64(b, at, big_) : load32(b, at, big_);
  }

  ByteSource& source_;
  std::string header_;
  bool is64_ = false;
  bool big_ = false;
  std::uint64_t sectionsAt_ = 0;
  std::uint64_t sectionSize_ = 0;
  std::uint64_t sectionCount_ = 0;
};

bool Elf::readHeader(std::string& problem) {
  if (!source_.read(0, 52, header_) || header_.compare(0, 4, "\177ELF") != 0 ||
      (header_[4] != 1 && header_[4] != 2) || (header_[5] != 1 && header_[5] != 2)) {
    problem = "not an ELF file";
    return false;
  }
  is64_ = header_[4] == 2;
  big_ = header_[5] == 2;
  if (is64_ && !source_.read(0, 64, header_)) {
    problem = "ELF header cut short";
    return false;
  }
  sectionsAt_ = wide(header_, is64_ ? 0x28 : 0x20);
  sectionSize_ = half(header_, is64_ ? 0x3A : 0x2E);
  sectionCount_ = half(header_, is64_ ? 0x3C : 0x30);
  Section first;
  if (sectionsAt_ == 0 || sectionSize_ < (is64_ ? 64u : 40u))
    sectionCount_ = 0;
  // Past 0xFF00 sections the count moves into the first section's size.
  else if (sectionCount_ == 0 && section(0, first))
    sectionCount_ = std::min(first.table.size, kMaxSections);
  return true;
}

bool Elf::section(std::uint64_t index, Section& out) {
  std::string bytes;
  if (sectionsAt_ > source_.size() ||
      !source_.read(sectionsAt_ + index * sectionSize_, is64_ ? 64 : 40, bytes))
    return false;
  out.type = word(bytes, 4);
  out.table.offset = wide(bytes, is64_ ? 24 : 16);
  out.table.size = wide(bytes, is64_ ? 32 : 20);
  out.link = word(bytes, is64_ ? 40 : 24);
  out.table.entrySize = wide(bytes, is64_ ? 56 : 36);
  return true;
}

bool Elf::findDynamicSection(ElfTable& symbols, ElfTable& names, std::string& problem) {
  Section symbolSection, nameSection;
  for (std::uint64_t i = 0; i < sectionCount_; ++i) {
    if (!section(i, symbolSection)) {
      problem = "ELF section headers outside the file";
      return false;
    }
    if (symbolSection.type != kDynamicSymbolTable)
      continue;
    if (symbolSection.link >= sectionCount_ ||
        !section(symbolSection.link, nameSection)) {
      problem = "ELF dynamic symbols without their names";
      return false;
    }
    symbols = symbolSection.table;
    names = nameSection.table;
    return true;
  }
  problem = "ELF file without dynamic symbols";
  return false;
}

// Section headers are not needed to load a shared object, and some tools
// strip them; the dynamic segment then says where the symbols are.
bool Elf::findDynamicSymbols(ElfTable& symbols, ElfTable& names, std::string& problem) {
  if (findDynamicSection(symbols, names, problem))
    return true;
  if (findDynamicSymbolsBySegments(source_, {is64_, big_}, header_, symbols, names)) {
    problem.clear();
    return true;
  }
  if (sectionCount_ == 0)
    problem = "ELF file without section headers or a readable dynamic segment";
  return false;
}

bool Elf::readNames(const ElfTable& symbols, const ElfTable& names,
                    std::vector<std::string>& exports, std::string& problem) {
  std::string table, text;
  const std::uint64_t entry = is64_ ? 24 : 16;
  const std::uint64_t stride = symbols.entrySize >= entry ? symbols.entrySize : entry;
  const std::uint64_t count = symbols.size / stride;
  if (!source_.read(symbols.offset, count * stride, table) ||
      !source_.read(names.offset, names.size, text)) {
    problem = "ELF dynamic symbols outside the file";
    return false;
  }
  std::vector<std::string> found;
  // Symbol 0 is the undefined symbol that every table starts with.
  for (std::uint64_t i = 1; i < count; ++i) {
    const std::size_t at = static_cast<std::size_t>(i * stride);
    const std::uint32_t name = word(table, at);
    const unsigned info = static_cast<unsigned char>(table[at + (is64_ ? 4 : 12)]);
    const std::uint16_t sectionIndex = half(table, at + (is64_ ? 6 : 14));
    const unsigned binding = info >> 4;
    const std::size_t end =
        name < text.size() ? text.find('\0', name) : std::string::npos;
    if (sectionIndex != 0 && end != std::string::npos && end > name &&
        (binding == kBindGlobal || binding == kBindWeak || binding == kBindUnique))
      found.push_back(text.substr(name, end - name));
  }
  exports.insert(exports.end(), std::make_move_iterator(found.begin()),
                 std::make_move_iterator(found.end()));
  return true;
}

}  // namespace

bool readElfExports(std::istream& in, std::vector<std::string>& exports,
                    std::string& problem) {
  ByteSource source(in);
  Elf elf(source);
  ElfTable symbols, names;
  if (!source.ok()) {
    problem = "the binary cannot be read";
    return false;
  }
  return elf.readHeader(problem) && elf.findDynamicSymbols(symbols, names, problem) &&
         elf.readNames(symbols, names, exports, problem);
}

}  // namespace vernatto::scan
