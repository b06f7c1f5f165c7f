#include "common/atomic_file.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <system_error>

#include "platform/platform.h"

namespace vernatto::common {

namespace fs = std::filesystem;

AtomicFile::AtomicFile(const std::string& path)
    : target_(fs::u8path(path)), temporary_(target_) {
  // The time makes the name unique enough that two writers do not meet.
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  temporary_ += ".tmp-" + std::to_string(stamp);
  out_.open(temporary_, std::ios::binary | std::ios::trunc);
  if (!out_.is_open())
    openProblem_ = std::strerror(errno);
}

AtomicFile::~AtomicFile() {
  if (committed_)
    return;
  out_.close();
  std::error_code ignored;
  fs::remove(temporary_, ignored);
}

bool AtomicFile::commit(std::string& problem) {
  if (!openProblem_.empty()) {
    problem = openProblem_;
    return false;
  }
  out_.close();
  if (out_.fail()) {
    problem = std::strerror(errno != 0 ? errno : EIO);
    return false;
  }
  if (!platform::commitFile(temporary_, target_, problem))
    return false;
  committed_ = true;
  return true;
}

bool writeFileAtomically(const std::string& path, std::string_view text,
                         std::string& problem) {
  AtomicFile file(path);
  file.stream().write(text.data(), static_cast<std::streamsize>(text.size()));
  return file.commit(problem);
}

std::optional<std::string> writeOutput(const std::string& path,
                                       std::ostream& standardOutput,
                                       const std::function<void(std::ostream&)>& write) {
  if (path == "-") {
    write(standardOutput);
    if (standardOutput.flush())
      return std::nullopt;
    return "cannot write to standard output";
  }
  AtomicFile file(path);
  write(file.stream());
  std::string problem;
  if (file.commit(problem))
    return std::nullopt;
  return "cannot write \"" + path + "\": " + problem;
}

}  // namespace vernatto::common
