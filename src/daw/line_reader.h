// Lines of a text project, read in blocks so that a file of any size, or a
// line of any length, costs the same small memory: a line keeps at most
// `maxKept` bytes and says whether it had more. CR, LF and CR LF all end a
// line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <istream>
#include <string>
#include <string_view>

namespace vernatto::daw {

class LineReader {
 public:
  LineReader(std::istream& in, std::size_t maxKept) : in_(in), maxKept_(maxKept) {}

  // Calls `observer(context, block)` with every block as it is read, for
  // readers that must see every byte, long lines' dropped ones included.
  void observe(void (*observer)(void*, std::string_view), void* context) {
    observer_ = observer;
    context_ = context;
  }

  // Reads the next line into `line` (without its end), valid until the next
  // call. Returns false at the end of the input, when no line is left.
  bool next(std::string_view& line) {
    carry_.clear();
    longer_ = false;
    bool any = false;
    for (;;) {
      if (at_ == block_.size() && !refill()) {
        terminated_ = false;
        number_ += any ? 1 : 0;
        line = carry_;
        return any;
      }
      if (skipLf_) {
        skipLf_ = false;
        if (block_[at_] == '\n') {
          ++at_;
          continue;
        }
      }
      const std::size_t end = lineEnd();
      const std::string_view part = std::string_view(block_).substr(at_, end - at_);
      at_ = end;
      if (end == block_.size()) {  // the line goes on in the next block
        keep(part);
        any = true;
        continue;
      }
      skipLf_ = block_[end] == '\r';
      ++at_;
      terminated_ = true;
      ++number_;
      // Most lines lie in one block and are handed out where they are.
      if (!any && part.size() <= maxKept_) {
        line = part;
        return true;
      }
      keep(part);
      line = carry_;
      return true;
    }
  }

  // The number of the line last read, from 1.
  std::uint64_t number() const { return number_; }
  // Whether the line last read had more than `maxKept` bytes.
  bool longer() const { return longer_; }
  // Whether the line last read ended with a line end, not with the input.
  bool terminated() const { return terminated_; }
  // Whether reading failed other than by reaching the end.
  bool failed() const { return in_.bad(); }

 private:
  // Where the line at `at_` ends in the block: its CR or LF, or the
  // block's end.
  std::size_t lineEnd() const {
    const char* begin = block_.data() + at_;
    const char* end = block_.data() + block_.size();
    const void* lf = std::memchr(begin, '\n', static_cast<std::size_t>(end - begin));
    if (lf != nullptr)
      end = static_cast<const char*>(lf);
    const void* cr = std::memchr(begin, '\r', static_cast<std::size_t>(end - begin));
    if (cr != nullptr)
      end = static_cast<const char*>(cr);
    return static_cast<std::size_t>(end - block_.data());
  }

  bool refill() {
    block_.resize(kBlock);
    in_.read(block_.data(), static_cast<std::streamsize>(kBlock));
    block_.resize(static_cast<std::size_t>(in_.gcount()));
    at_ = 0;
    if (observer_ != nullptr && !block_.empty())
      observer_(context_, block_);
    return !block_.empty();
  }

  void keep(std::string_view part) {
    const std::size_t room = maxKept_ - carry_.size();
    if (part.size() > room)
      longer_ = true;
    carry_.append(part.substr(0, room));
  }

  static constexpr std::size_t kBlock = std::size_t{1} << 16;
  std::istream& in_;
  std::size_t maxKept_;
  std::string block_;
  std::string carry_;  // a line that goes past a block's end, or too long
  std::size_t at_ = 0;
  std::uint64_t number_ = 0;
  bool skipLf_ = false;
  bool longer_ = false;
  bool terminated_ = false;
  void (*observer_)(void*, std::string_view) = nullptr;
  void* context_ = nullptr;
};

// `text` without spaces and tabs at either end. Plain loops: the library's
// find_first_not_of looks each byte up in the set by a call, and every line
// passes here.
inline std::string_view trimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

}  // namespace vernatto::daw
