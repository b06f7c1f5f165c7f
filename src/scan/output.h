// The inventory a scan writes.
#pragma once

#include <string>
#include <vector>

#include "scan/describe.h"

namespace vernatto::scan {

// Sorts by technology, then vendor, then name (ASCII letters compared
// without case), then the file's path; the remaining fields and then the
// exact bytes settle the rest, so equal scans give equal orders.
void sortFound(std::vector<FoundPlugin>& plugins);

// The inventory as JSON: an array of objects with vendor, name, technology,
// modifiedTime and, when known, version, in that order; two-space indent,
// ending in a newline. Bytes that are not UTF-8 become U+FFFD.
std::string inventoryJson(const std::vector<FoundPlugin>& plugins);

// Writes `text` to the file at `path` (UTF-8) through a temporary file beside
// it, renamed over it once complete, so that a failure leaves no partial file.
// Returns false, with `problem` saying why, when it cannot.
bool writeFileAtomically(const std::string& path, const std::string& text,
                         std::string& problem);

}  // namespace vernatto::scan
