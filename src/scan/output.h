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
// modifiedTime, version when known, the path of the file or bundle read (so
// that a plug-in found twice can be found on disk), and the id and the ids it
// replaces when known, in that order; two-space indent, ending in a newline.
// Bytes that are not UTF-8 become U+FFFD.
std::string inventoryJson(const std::vector<FoundPlugin>& plugins);

}  // namespace vernatto::scan
