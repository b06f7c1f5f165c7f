// Linux shared objects (ELF): the names of the symbols they export.
#pragma once

#include <istream>
#include <string>
#include <vector>

namespace vernatto::scan {

// Appends to `exports` the names of the defined global and weak symbols in
// the dynamic symbol table of the ELF file in `in` (32 or 64 bit, either byte
// order), seeking to what it needs rather than reading the whole file.
// Returns false, with `problem` saying why, when `in` holds no ELF file whose
// headers and dynamic symbols can be read. Every offset taken from the input
// is checked against its size before use.
bool readElfExports(std::istream& in, std::vector<std::string>& exports,
                    std::string& problem);

}  // namespace vernatto::scan
