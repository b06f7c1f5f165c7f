// Lines of a text project, read in blocks so that a file of any size, or a
// line of any length, costs the same small memory: a line keeps at most
// `maxKept` bytes and says whether it had more. CR, LF and CR LF all end a
// line.
#pragma once

#include <cstddef>
#include <cstdint>
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

  // Reads the next line into `line` (without its end). Returns false at the
  // end of the input, when no line is left.
  bool next(std::string& line) {
    line.clear();
    longer_ = false;
    bool any = false;
    for (;;) {
      if (at_ == block_.size() && !refill()) {
        terminated_ = false;
        number_ += any ? 1 : 0;
        return any;
      }
      if (skipLf_) {
        skipLf_ = false;
        if (block_[at_] == '\n') {
          ++at_;
          continue;
        }
      }
      any = true;
      const std::size_t end = block_.find_first_of("\r\n", at_);
      const std::size_t stop = end == std::string::npos ? block_.size() : end;
      keep(std::string_view(block_).substr(at_, stop - at_), line);
      if (end == std::string::npos) {
        at_ = block_.size();
        continue;
      }
      skipLf_ = block_[end] == '\r';
      at_ = end + 1;
      terminated_ = true;
      ++number_;
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
  bool refill() {
    block_.resize(kBlock);
    in_.read(block_.data(), static_cast<std::streamsize>(kBlock));
    block_.resize(static_cast<std::size_t>(in_.gcount()));
    at_ = 0;
    if (observer_ != nullptr && !block_.empty())
      observer_(context_, block_);
    return !block_.empty();
  }

  void keep(std::string_view part, std::string& line) {
    const std::size_t room = maxKept_ - line.size();
    if (part.size() > room)
      longer_ = true;
    line.append(part.substr(0, room));
  }

  static constexpr std::size_t kBlock = std::size_t{1} << 16;
  std::istream& in_;
  std::size_t maxKept_;
  std::string block_;
  std::size_t at_ = 0;
  std::uint64_t number_ = 0;
  bool skipLf_ = false;
  bool longer_ = false;
  bool terminated_ = false;
  void (*observer_)(void*, std::string_view) = nullptr;
  void* context_ = nullptr;
};

}  // namespace vernatto::daw
