#include "inventory/plugin_id.h"

#include <array>
#include <charconv>

namespace vernatto::inventory {
namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void appendHex(std::string& out, std::uint32_t value) {
  for (int shift = 28; shift >= 0; shift -= 4)
    out += kHexDigits[(value >> shift) & 0xF];
}

bool isHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

bool isNormalVst3Id(std::string_view id) {
  if (id.size() != 32)
    return false;
  for (const char c : id) {
    if (!isHexDigit(c) || (c >= 'a' && c <= 'f'))
      return false;
  }
  return true;
}

}  // namespace

std::string vst3Id(std::uint32_t l1, std::uint32_t l2, std::uint32_t l3,
                   std::uint32_t l4) {
  std::string id;
  id.reserve(32);
  for (const std::uint32_t word : {l1, l2, l3, l4})
    appendHex(id, word);
  return id;
}

std::string vst3IdFromText(std::string_view text) {
  text = trimmed(text);
  if (text.size() >= 2 && text.front() == '{' && text.back() == '}')
    text = text.substr(1, text.size() - 2);
  // Dashes only where the 8-4-4-4-12 form has them, or nowhere.
  constexpr std::array<std::size_t, 4> kDashes = {8, 13, 18, 23};
  const bool dashed = text.size() == 36;
  std::string id;
  id.reserve(32);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool dashHere = dashed && (i == kDashes[0] || i == kDashes[1] ||
                                     i == kDashes[2] || i == kDashes[3]);
    if (dashHere != (text[i] == '-'))
      return {};
    if (dashHere)
      continue;
    if (!isHexDigit(text[i]))
      return {};
    id += upper(text[i]);
  }
  return id.size() == 32 ? id : std::string();
}

std::string vst2Id(std::int64_t uniqueId) {
  return std::to_string(static_cast<std::uint32_t>(static_cast<std::uint64_t>(uniqueId)));
}

std::string vst2IdFromVst3Form(std::string_view hex) {
  const std::string id = vst3IdFromText(hex);
  if (!isVst2InVst3Form(id))
    return {};
  std::uint32_t value = 0;
  std::from_chars(id.data() + 6, id.data() + 14, value, 16);
  return std::to_string(value);
}

bool isVst2InVst3Form(std::string_view id) {
  return isNormalVst3Id(id) && id.substr(0, 6) == "565354";
}

std::string vst3FormPrefixOfVst2(std::string_view uniqueId) {
  std::uint32_t value = 0;
  const char* end = uniqueId.data() + uniqueId.size();
  const auto [at, error] = std::from_chars(uniqueId.data(), end, value);
  // The normal form has no sign, no leading zero and nothing after the digits.
  if (uniqueId.empty() || error != std::errc() || at != end ||
      (uniqueId.size() > 1 && uniqueId.front() == '0'))
    return {};
  std::string prefix = "565354";
  appendHex(prefix, value);
  return prefix;
}

std::optional<std::uint32_t> audioUnitCode(std::string_view text) {
  std::uint32_t value = 0;
  // Four bytes are a code even when they are digits: a decimal that short
  // would be a code whose first two bytes are zero, which no maker uses.
  if (text.size() == 4) {
    for (const char c : text)
      value = value << 8 | static_cast<unsigned char>(c);
    return value;
  }
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || at != end)
    return std::nullopt;
  return value;
}

std::string audioUnitId(std::uint32_t type, std::uint32_t subtype,
                        std::uint32_t manufacturer) {
  return std::to_string(type) + ' ' + std::to_string(subtype) + ' ' +
         std::to_string(manufacturer);
}

std::string audioUnitIdFromCodes(std::string_view type, std::string_view subtype,
                                 std::string_view manufacturer) {
  const std::optional<std::uint32_t> t = audioUnitCode(type);
  const std::optional<std::uint32_t> s = audioUnitCode(subtype);
  const std::optional<std::uint32_t> m = audioUnitCode(manufacturer);
  if (!t || !s || !m)
    return {};
  return audioUnitId(*t, *s, *m);
}

}  // namespace vernatto::inventory
