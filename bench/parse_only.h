// The parse of an inventory file with no work done per event: the least any
// reading of the file costs, shared by the floor and the micro-benchmarks.
#pragma once

#include <fstream>
#include <string>

#include <nlohmann/json.hpp>

namespace vernatto::bench {

// Takes every event and keeps nothing.
struct NullHandler {
  using json = nlohmann::json;
  bool null() { return true; }
  bool boolean(bool) { return true; }
  bool number_integer(json::number_integer_t) { return true; }
  bool number_unsigned(json::number_unsigned_t) { return true; }
  bool number_float(json::number_float_t, const json::string_t&) { return true; }
  bool string(json::string_t&) { return true; }
  bool binary(json::binary_t&) { return true; }
  bool start_object(std::size_t) { return true; }
  bool key(json::string_t&) { return true; }
  bool end_object() { return true; }
  bool start_array(std::size_t) { return true; }
  bool end_array() { return true; }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) {
    return false;
  }
};

// Parses the file at `path` as the reader does; returns whether it parsed.
inline bool parseOnly(const std::string& path) {
  std::ifstream file(path);
  NullHandler handler;
  return nlohmann::json::sax_parse(file, &handler, nlohmann::json::input_format_t::json,
                                   /*strict=*/false, /*ignore_comments=*/false);
}

}  // namespace vernatto::bench
