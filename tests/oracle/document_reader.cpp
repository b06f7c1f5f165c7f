#include <cmath>
#include <filesystem>
#include <fstream>
#include <istream>
#include <ostream>

#include <nlohmann/json.hpp>

#include "oracle/document_reader.h"

namespace vernatto::oracle {
namespace {

using inventory::Inventory;
using nlohmann::json;

// Thrown for a modifiedTime that has no unsigned 64-bit value; caught with
// the library's own errors, so it only ends the guarded reading.
struct ConversionError {};

// Integers are taken bit for bit (so -1 is the largest value); other numbers
// are truncated toward zero and must then fit. A float that does not fit has
// no value here, and casting it would be undefined.
std::uint64_t toModifiedTime(const json& value) {
  if (value.is_number_unsigned())
    return value.get<std::uint64_t>();
  if (value.is_number_integer()) {
    return static_cast<std::uint64_t>(value.get<std::int64_t>());
  }
  if (value.is_number_float()) {
    const double truncated = std::trunc(value.get<double>());
    constexpr double kTwoTo64 = 18446744073709551616.0;
    if (truncated >= 0.0 && truncated < kTwoTo64) {
      return static_cast<std::uint64_t>(truncated);
    }
  }
  throw ConversionError{};
}

// An entry's texts as the document holds them, until the inventory stores them.
struct EntryTexts {
  std::string vendor;
  std::string name;
  std::string version;
  std::string technology;
  std::uint64_t modifiedTime = 0;
};

// Reads the members in a fixed order; the first failure leaves the later
// fields as they are, so a broken element still yields what came before it.
void readMembers(const json& element, EntryTexts& entry) {
  entry.vendor = element.at("vendor").get<std::string>();
  entry.name = element.at("name").get<std::string>();
  entry.technology = element.at("technology").get<std::string>();
  entry.modifiedTime = toModifiedTime(element.at("modifiedTime"));
  const auto version = element.find("version");
  if (version != element.end() && !version->is_null()) {
    entry.version = version->get<std::string>();
  }
}

EntryTexts readEntry(const json& element) {
  EntryTexts entry;
  try {
    readMembers(element, entry);
  } catch (...) {
    // Whatever failed, the fields read before the failure stand.
  }
  return entry;
}

}  // namespace

void readInventoryByDocument(std::istream& in, const std::string& path,
                             Inventory& inventory, std::ostream& out) {
  out << "File: " << path << std::endl;

  json document;
  try {
    in >> document;
  } catch (...) {
    // The document keeps what the parser built before the failure.
    out << "failed reading file \"" << path << '"' << std::endl;
  }

  const std::ptrdiff_t count =
      document.is_array() ? static_cast<std::ptrdiff_t>(document.size()) : 0;
  out << count << " entries" << std::endl;

  // The elements are read in place: a copy of a deeply nested element would
  // recurse once per level and could overflow the stack.
  const json& elements = document;
  for (std::ptrdiff_t i = 0; i < count; ++i) {
    const EntryTexts entry = readEntry(elements[static_cast<std::size_t>(i)]);
    out << entry.vendor << " | " << entry.name << " | " << entry.technology << " | "
        << entry.version << " | " << entry.modifiedTime << std::endl;
    inventory.push_back(
        {entry.vendor, entry.name, entry.version, entry.technology, entry.modifiedTime});
  }

  inventory::sortInventory(inventory);
}

void readInventoryByDocument(const std::string& path, Inventory& inventory,
                             std::ostream& out) {
  std::ifstream file(std::filesystem::u8path(path));
  readInventoryByDocument(file, path, inventory, out);
}

}  // namespace vernatto::oracle
