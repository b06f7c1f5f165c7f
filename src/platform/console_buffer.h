// Console output for systems whose console takes UTF-16 rather than bytes.
#pragma once

#include <cstddef>
#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace vernatto::platform {

// Appends the UTF-16 form of the UTF-8 `bytes` to `out` and returns how many
// bytes it took: all of them, except an incomplete sequence at the very end,
// which the next bytes may still complete. A byte that cannot start a
// sequence, and a sequence cut short by a byte that cannot continue it, each
// become one U+FFFD.
std::size_t appendUtf16(std::string_view bytes, std::u16string& out);

// Returns `bytes` as valid UTF-8: every byte and cut-short sequence that
// appendUtf16 would turn into U+FFFD, an incomplete one at the end included,
// becomes U+FFFD.
std::string validUtf8(std::string_view bytes);

// A stream buffer that takes UTF-8 bytes and hands them to `write` as UTF-16
// at every flush and whenever its buffer fills. An incomplete sequence at the
// end waits for the bytes that complete it; one still incomplete when the
// buffer is destroyed is handed on as U+FFFD. When `write` returns false the
// flush fails, and so does the stream.
class ConsoleBuffer : public std::streambuf {
 public:
  using Writer = std::function<bool(std::u16string_view)>;
  explicit ConsoleBuffer(Writer write);
  ~ConsoleBuffer() override;
  ConsoleBuffer(const ConsoleBuffer&) = delete;
  ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

 protected:
  int_type overflow(int_type ch) override;
  int sync() override;

 private:
  bool drain();

  Writer write_;
  char bytes_[4096];
};

}  // namespace vernatto::platform
