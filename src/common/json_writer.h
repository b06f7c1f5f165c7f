// A JSON writer for the programs' outputs, shared so that every program lays
// JSON out alike and escapes text in one way.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vernatto::common {

// Writes JSON as the scanner's library lays it out with a two-space indent,
// without building a document: a million values cost no more memory than one.
class JsonWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out) {}
  ~JsonWriter() { flush(); }

  void beginObject() { open('{'); }
  void endObject() { close('}'); }
  void beginArray() { open('['); }
  void endArray() { close(']'); }

  // `name` is one of this program's own member names, which need no escaping.
  void key(std::string_view name) {
    element();
    text_ += '"';
    text_ += name;
    text_.append("\": ", 3);
    afterKey_ = true;
  }
  void string(std::string_view value) {
    element();
    appendString(value);
  }
  void number(std::uint64_t value) {
    element();
    char digits[24];
    text_.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
  }
  void boolean(bool value) {
    element();
    text_ += value ? "true" : "false";
  }
  void null() {
    element();
    text_ += "null";
  }

  // An install, {"version": TEXT or null, "modifiedTime": N}, as one
  // element, written in one go: a large fleet's JSON is mostly these.
  void install(std::string_view version, std::uint64_t time) {
    element();
    const std::size_t depth = empty_.size() + 1;
    text_ += '{';
    newLine(depth);
    text_.append("\"version\": ", 11);
    if (version.empty())
      text_.append("null", 4);
    else
      appendString(version);
    text_ += ',';
    newLine(depth);
    text_.append("\"modifiedTime\": ", 16);
    char digits[24];
    text_.append(digits, std::to_chars(digits, digits + sizeof digits, time).ptr);
    newLine(depth - 1);
    text_ += '}';
  }

  void endLine() { text_ += '\n'; }

  void flush() {
    out_.write(text_.data(), static_cast<std::streamsize>(text_.size()));
    text_.clear();
  }

 private:
  // What precedes a value: nothing after a key, else the separator from the
  // previous element and the indent.
  void element() {
    if (afterKey_) {
      afterKey_ = false;
      return;
    }
    if (empty_.empty())
      return;
    if (!empty_.back())
      text_ += ',';
    empty_.back() = false;
    newLine(empty_.size());
    if (text_.size() > (1u << 16))
      flush();
  }

  // A line end and the indent of `depth`, appended in one piece: the indents
  // are a good part of a large fleet's JSON.
  void newLine(std::size_t depth) {
    static const std::string kIndents = "\n" + std::string(64, ' ');
    const std::size_t spaces = 2 * depth;
    const std::size_t first = std::min(spaces, kIndents.size() - 1);
    text_.append(kIndents, 0, 1 + first);
    if (spaces > first)
      text_.append(spaces - first, ' ');
  }

  void open(char bracket) {
    element();
    text_ += bracket;
    empty_.push_back(true);
  }

  void close(char bracket) {
    if (!empty_.back())
      newLine(empty_.size() - 1);
    empty_.pop_back();
    text_ += bracket;
  }

  // Texts without markup, quotes or bytes beyond ASCII go in as they are;
  // the library escapes the rest, and turns bytes that are not UTF-8 into
  // U+FFFD.
  void appendString(std::string_view value) {
    for (const char c : value) {
      if (c < 0x20 || c == '"' || c == '\\' || static_cast<unsigned char>(c) >= 0x80) {
        text_ += nlohmann::json(std::string(value))
                     .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
        return;
      }
    }
    text_ += '"';
    text_ += value;
    text_ += '"';
  }

  std::ostream& out_;
  std::string text_;
  std::vector<bool> empty_;  // per open container: nothing in it yet
  bool afterKey_ = false;
};

}  // namespace vernatto::common
