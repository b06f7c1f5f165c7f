#include <algorithm>
#include <charconv>
#include <nlohmann/json.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "fleet/outputs.h"

namespace vernatto::fleet {
namespace {

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

void writeMachines(const Fleet& fleet, JsonWriter& json) {
  json.key("machines");
  json.beginArray();
  for (const Machine& machine : fleet.machines) {
    json.beginObject();
    json.key("name");
    json.string(machine.name);
    json.key("path");
    json.string(machine.path);
    json.key("entries");
    json.number(machine.inventory.size());
    json.key("complete");
    json.boolean(machine.complete);
    json.endObject();
  }
  json.endArray();
}

void writeInstalls(const PluginRow& row, JsonWriter& json) {
  json.key("installs");
  json.beginArray();
  for (const Installs& on : *row.installs) {
    // Not "none": the machine's file was not read whole.
    if (on.unknown) {
      json.null();
      continue;
    }
    json.beginArray();
    for (std::size_t i = 0; i < on.size(); ++i)
      json.install(on[i].version, on[i].modifiedTime);
    json.endArray();
  }
  json.endArray();
}

void writeVersus(const Fleet& fleet, const PluginRow& row, JsonWriter& json) {
  json.key("versus");
  json.beginArray();
  const Installs reference = row.on(fleet.reference);
  for (std::size_t m = 0; m < fleet.machines.size(); ++m) {
    const Versus versus =
        m == fleet.reference ? Versus::kReference : versusOf(row.on(m), reference);
    if (versus == Versus::kNone)
      json.null();
    else
      json.string(versusWord(versus));
  }
  json.endArray();
}

void writePlugin(const Fleet& fleet, const PluginRow& row, JsonWriter& json) {
  json.beginObject();
  json.key("vendor");
  json.string(row.key->vendor);
  json.key("name");
  json.string(row.key->name);
  json.key("technology");
  json.string(row.key->technology);
  json.key("status");
  json.string(statusWord(row.status));
  json.key("duplicate");
  json.boolean(row.duplicate);
  writeInstalls(row, json);
  if (fleet.hasReference())
    writeVersus(fleet, row, json);
  json.endObject();
}

void writeSummary(const StatusCounts& counts, JsonWriter& json) {
  json.key("summary");
  json.beginObject();
  const std::pair<const char*, std::size_t> members[] = {
      {"plugins", counts.plugins}, {"missing", counts.missing},
      {"version", counts.version}, {"time", counts.time},
      {"alike", counts.alike},
  };
  for (const auto& [name, count] : members) {
    json.key(name);
    json.number(count);
  }
  json.endObject();
}

}  // namespace

void writeJson(const Fleet& fleet, std::ostream& out) {
  JsonWriter json(out);
  json.beginObject();
  writeMachines(fleet, json);
  json.key("reference");
  if (fleet.hasReference())
    json.string(fleet.machines[fleet.reference].name);
  else
    json.null();
  json.key("plugins");
  json.beginArray();
  fleet.table.forEach([&](const PluginRow& row) { writePlugin(fleet, row, json); });
  json.endArray();
  writeSummary(fleet.table.counts(), json);
  json.endObject();
  json.endLine();
}

}  // namespace vernatto::fleet
