#include "common/progress.h"

#include <ostream>

namespace vernatto::common {

bool ProgressLine::due() const {
  return terminal_ &&
         std::chrono::steady_clock::now() - last_ >= std::chrono::milliseconds(100);
}

void ProgressLine::show(const std::string& text) {
  if (!due())
    return;
  last_ = std::chrono::steady_clock::now();
  wipe();
  out_ << text << std::flush;
  shown_ = text.size();
}

void ProgressLine::wipe() {
  if (shown_ == 0)
    return;
  out_ << '\r' << std::string(shown_, ' ') << '\r';
  shown_ = 0;
}

}  // namespace vernatto::common
