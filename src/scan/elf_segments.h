// The dynamic symbols of an ELF file found through its program headers, for
// files whose section headers were stripped or damaged.
#pragma once

#include <cstdint>
#include <string>

#include "scan/bytes.h"

namespace vernatto::scan {

struct ElfFormat {
  bool is64 = false;
  bool big = false;
};

// A table's place in the file; entrySize is 0 for the string table.
struct ElfTable {
  std::uint64_t offset = 0;
  std::uint64_t size = 0;
  std::uint64_t entrySize = 0;
};

// Finds the dynamic symbol table and its string table through the PT_DYNAMIC
// segment described by the ELF header in `header`. Returns false when the
// program headers, the dynamic segment or the tables it names cannot be read.
bool findDynamicSymbolsBySegments(ByteSource& source, ElfFormat format,
                                  const std::string& header, ElfTable& symbols,
                                  ElfTable& names);

}  // namespace vernatto::scan
