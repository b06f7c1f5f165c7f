#include "scan/moduleinfo.h"

#include <cctype>
#include <cstddef>
#include <map>
#include <set>
#include <utility>

#include <nlohmann/json.hpp>

#include "inventory/plugin_id.h"

namespace vernatto::scan {
namespace {

using nlohmann::json;

// Real files nest four levels deep; the bound keeps a hostile file from
// driving the parser's recursion (and our own) to any depth.
constexpr int kMaxDepth = 64;

bool isIdentifierStart(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || c == '_' || c == '$';
}

bool isIdentifierPart(char c) {
  return isIdentifierStart(c) || std::isdigit(static_cast<unsigned char>(c));
}

// Copies the string starting at text[i] (a quote) to `out`; returns the index
// after its closing quote, or text.size() when it never closes.
std::size_t copyString(std::string_view text, std::size_t i, std::string& out) {
  std::size_t j = i + 1;
  while (j < text.size() && text[j] != '"')
    j += text[j] == '\\' ? std::size_t{2} : std::size_t{1};
  j = j < text.size() ? j + 1 : text.size();
  out.append(text.substr(i, j - i));
  return j;
}

// Returns the index after the comment starting at text[i], or i when none
// starts there; an unclosed block comment runs to the end.
std::size_t skipComment(std::string_view text, std::size_t i) {
  if (text.compare(i, 2, "//") == 0) {
    const std::size_t end = text.find('\n', i);
    return end == std::string_view::npos ? text.size() : end;
  }
  if (text.compare(i, 2, "/*") == 0) {
    const std::size_t end = text.find("*/", i + 2);
    return end == std::string_view::npos ? text.size() : end + 2;
  }
  return i;
}

// Drops the comma written before a closing bracket (comments and white space
// between them were already dropped or kept as white space).
void dropTrailingComma(std::string& out) {
  std::size_t end = out.find_last_not_of(" \t\r\n");
  if (end != std::string::npos && out[end] == ',')
    out.erase(end, 1);
}

// Rewrites the relaxed text into strict JSON: no comments, no comma before a
// closing bracket, member names in quotes. Strings are copied as they stand,
// so an unescaped quote in one still fails the strict parse. Returns false
// when brackets nest deeper than kMaxDepth.
bool toStrictJson(std::string_view text, std::string& out) {
  int depth = 0;
  for (std::size_t i = 0; i < text.size();) {
    const char c = text[i];
    if (c == '"') {
      i = copyString(text, i, out);
    } else if (const std::size_t next = skipComment(text, i); next != i) {
      out += ' ';
      i = next;
    } else if (isIdentifierStart(c)) {
      std::size_t j = i;
      while (j < text.size() && isIdentifierPart(text[j]))
        ++j;
      const std::size_t colon = text.find_first_not_of(" \t\r\n", j);
      const bool name = colon != std::string_view::npos && text[colon] == ':';
      out +=
          name ? "\"" + std::string(text.substr(i, j - i)) + "\"" : text.substr(i, j - i);
      i = j;
    } else {
      if (c == '}' || c == ']')
        dropTrailingComma(out);
      depth += c == '{' || c == '[' ? 1 : (c == '}' || c == ']' ? -1 : 0);
      if (depth > kMaxDepth)
        return false;
      out += c;
      ++i;
    }
  }
  return true;
}

std::string stringMember(const json& object, const char* name) {
  const auto it = object.find(name);
  return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// The ids each class replaces, by the replacing class's id, each once. An
// item that is no object, a New or Old that is no class id, and Old that is
// no array are passed over.
std::map<std::string, std::vector<std::string>> replacedClasses(const json& document) {
  std::map<std::string, std::vector<std::string>> replaced;
  std::map<std::string, std::set<std::string>> seen;
  const auto list = document.find("Compatibility");
  if (list == document.end() || !list->is_array())
    return replaced;
  for (const json& item : *list) {
    if (!item.is_object())
      continue;
    const std::string newId = inventory::vst3IdFromText(stringMember(item, "New"));
    const auto old = item.find("Old");
    if (newId.empty() || old == item.end() || !old->is_array())
      continue;
    for (const json& text : *old) {
      const std::string oldId =
          text.is_string() ? inventory::vst3IdFromText(text.get_ref<const std::string&>())
                           : std::string();
      if (!oldId.empty() && seen[newId].insert(oldId).second)
        replaced[newId].push_back(oldId);
    }
  }
  return replaced;
}

}  // namespace

bool readModuleInfo(std::string_view text, std::vector<ModuleClass>& classes,
                    std::string& problem) {
  std::string strict;
  if (!toStrictJson(text, strict)) {
    problem = "moduleinfo nests too deeply";
    return false;
  }
  const json document = json::parse(strict, nullptr, false);
  if (document.is_discarded() || !document.is_object()) {
    problem = "moduleinfo is not valid JSON (an unescaped quote or backslash in a name?)";
    return false;
  }
  std::string factoryVendor;
  if (const auto factory = document.find("Factory Info");
      factory != document.end() && factory->is_object())
    factoryVendor = stringMember(*factory, "Vendor");
  const std::string fileVersion = stringMember(document, "Version");
  const auto list = document.find("Classes");
  if (list == document.end() || !list->is_array())
    return true;
  const auto replaced = replacedClasses(document);
  for (const json& entry : *list) {
    if (!entry.is_object() || stringMember(entry, "Category") != "Audio Module Class")
      continue;
    ModuleClass moduleClass;
    moduleClass.name = stringMember(entry, "Name");
    moduleClass.vendor = stringMember(entry, "Vendor");
    moduleClass.version = stringMember(entry, "Version");
    moduleClass.id = inventory::vst3IdFromText(stringMember(entry, "CID"));
    if (moduleClass.vendor.empty())
      moduleClass.vendor = factoryVendor;
    if (moduleClass.version.empty())
      moduleClass.version = fileVersion;
    if (const auto found = replaced.find(moduleClass.id); found != replaced.end())
      moduleClass.compatible = found->second;
    classes.push_back(std::move(moduleClass));
  }
  return true;
}

}  // namespace vernatto::scan
