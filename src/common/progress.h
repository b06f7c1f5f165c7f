// A progress line on a terminal, updated in place.
#pragma once

#include <chrono>
#include <iosfwd>
#include <string>

namespace vernatto::common {

// Shows a line that each update overwrites, at most ten times a second, and
// only when the stream is a terminal: a file or pipe gets nothing.
class ProgressLine {
 public:
  ProgressLine(std::ostream& out, bool terminal) : out_(out), terminal_(terminal) {}

  // Whether an update now would be shown; building the text can wait for it.
  bool due() const;
  // Replaces the line with `text` when due.
  void show(const std::string& text);
  // Removes the line, so that other lines can follow on a clean row.
  void wipe();

 private:
  std::ostream& out_;
  bool terminal_;
  std::size_t shown_ = 0;
  std::chrono::steady_clock::time_point last_{};
};

}  // namespace vernatto::common
