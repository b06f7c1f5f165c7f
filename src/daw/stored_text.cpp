#include "daw/stored_text.h"

#include <algorithm>
#include <charconv>

namespace vernatto::daw {
namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9')
    return c - '0';
  if (c >= 'a' && c <= 'f')
    return c - 'a' + 10;
  if (c >= 'A' && c <= 'F')
    return c - 'A' + 10;
  return -1;
}

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos)
    return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

}  // namespace

std::string fileOfPath(std::string_view path) {
  path = trimmed(path);
  while (!path.empty() && (path.back() == '/' || path.back() == '\\'))
    path.remove_suffix(1);
  const std::size_t slash = path.find_last_of("/\\");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string withoutExtension(std::string_view file) {
  const std::size_t dot = file.rfind('.');
  return std::string(dot == std::string_view::npos || dot == 0 ? file
                                                               : file.substr(0, dot));
}

std::string urlDecoded(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = i + 2 < text.size() && text[i] == '%' ? hexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? hexValue(text[i + 2]) : -1;
    if (low >= 0) {
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

std::optional<std::int64_t> integerOf(std::string_view text) {
  text = trimmed(text);
  if (!text.empty() && text.front() == '+')
    text.remove_prefix(1);
  std::int64_t value = 0;
  const char* end = text.data() + text.size();
  const auto [at, error] = std::from_chars(text.data(), end, value);
  if (text.empty() || error != std::errc() || at != end)
    return std::nullopt;
  return value;
}

std::string decimalId(std::string_view text) {
  const std::optional<std::int64_t> value = integerOf(text);
  if (!value || *value < 0 || *value > INT64_C(0xFFFFFFFF))
    return {};
  return std::to_string(*value);
}

void appendCapped(std::string& text, std::string_view piece, std::size_t limit) {
  if (text.size() < limit)
    text.append(piece.substr(0, limit - text.size()));
}

}  // namespace vernatto::daw
