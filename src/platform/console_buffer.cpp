#include "platform/console_buffer.h"

#include <cstring>
#include <utility>

namespace vernatto::platform {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// What a lead byte announces: the sequence length (0 for a byte that never
// starts one) and the range its second byte must fall in, which rules out
// overlong forms, surrogates and code points above U+10FFFF.
struct Lead {
  std::size_t length;
  unsigned char low;
  unsigned char high;
};

Lead leadOf(unsigned char byte) {
  if (byte >= 0xC2 && byte <= 0xDF)
    return {2, 0x80, 0xBF};
  if (byte == 0xE0)
    return {3, 0xA0, 0xBF};
  if (byte == 0xED)
    return {3, 0x80, 0x9F};
  if (byte >= 0xE1 && byte <= 0xEF)
    return {3, 0x80, 0xBF};
  if (byte == 0xF0)
    return {4, 0x90, 0xBF};
  if (byte >= 0xF1 && byte <= 0xF3)
    return {4, 0x80, 0xBF};
  if (byte == 0xF4)
    return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

void appendCodePoint(char32_t point, std::u16string& out) {
  if (point < 0x10000) {
    out += static_cast<char16_t>(point);
    return;
  }
  point -= 0x10000;
  out += static_cast<char16_t>(0xD800 + (point >> 10));
  out += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
}

}  // namespace

std::size_t appendUtf16(std::string_view bytes, std::u16string& out) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const Lead expected = leadOf(lead);
    if (lead < 0x80 || expected.length == 0) {
      out += lead < 0x80 ? static_cast<char16_t>(lead) : kReplacement;
      ++at;
      continue;
    }
    char32_t point = lead & (0x7Fu >> expected.length);
    std::size_t taken = 1;
    for (; taken < expected.length; ++taken) {
      if (at + taken == bytes.size())
        return at;  // the rest of this sequence is still to come
      const auto next = static_cast<unsigned char>(bytes[at + taken]);
      if (next < (taken == 1 ? expected.low : 0x80) ||
          next > (taken == 1 ? expected.high : 0xBF))
        break;
      point = (point << 6) | (next & 0x3Fu);
    }
    if (taken == expected.length)
      appendCodePoint(point, out);
    else
      out += kReplacement;
    at += taken;
  }
  return at;
}

std::string validUtf8(std::string_view bytes) {
  std::u16string wide;
  if (appendUtf16(bytes, wide) < bytes.size())
    wide += kReplacement;
  std::string text;
  text.reserve(bytes.size() + 2);
  for (std::size_t i = 0; i < wide.size(); ++i) {
    char32_t point = wide[i];
    // appendUtf16 writes surrogates only in pairs.
    if (point >= 0xD800 && point <= 0xDBFF && i + 1 < wide.size())
      point = 0x10000 + ((point - 0xD800) << 10) + (wide[++i] - 0xDC00u);
    if (point < 0x80) {
      text += static_cast<char>(point);
    } else if (point < 0x800) {
      text += static_cast<char>(0xC0 | (point >> 6));
      text += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
      text += static_cast<char>(0xE0 | (point >> 12));
      text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (point & 0x3F));
    } else {
      text += static_cast<char>(0xF0 | (point >> 18));
      text += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
      text += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
      text += static_cast<char>(0x80 | (point & 0x3F));
    }
  }
  return text;
}

ConsoleBuffer::ConsoleBuffer(Writer write) : write_(std::move(write)) {
  setp(bytes_, bytes_ + sizeof bytes_);
}

ConsoleBuffer::~ConsoleBuffer() {
  drain();
  if (pptr() != pbase())
    write_(std::u16string(1, kReplacement));
}

ConsoleBuffer::int_type ConsoleBuffer::overflow(int_type ch) {
  if (!drain())
    return traits_type::eof();
  if (traits_type::eq_int_type(ch, traits_type::eof()))
    return traits_type::not_eof(ch);
  *pptr() = traits_type::to_char_type(ch);
  pbump(1);
  return ch;
}

int ConsoleBuffer::sync() {
  return drain() ? 0 : -1;
}

bool ConsoleBuffer::drain() {
  std::u16string text;
  const auto pending = static_cast<std::size_t>(pptr() - pbase());
  const std::size_t used = appendUtf16(std::string_view(pbase(), pending), text);
  const bool written = text.empty() || write_(text);
  // What is left is at most the three bytes of an incomplete sequence.
  std::memmove(bytes_, pbase() + used, pending - used);
  setp(bytes_, bytes_ + sizeof bytes_);
  pbump(static_cast<int>(pending - used));
  return written;
}

}  // namespace vernatto::platform
