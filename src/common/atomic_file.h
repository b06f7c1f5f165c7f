// Files that are replaced whole or not at all.
#pragma once

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vernatto::common {

// A file written into a temporary file beside its target and put in place of
// the target only once complete and on disk (platform::commitFile), so that a
// failure, a crash or a power cut leaves the old file or the new one. Written
// in binary: line ends are what the writer writes.
class AtomicFile {
 public:
  // Opens the temporary file beside `path`, a UTF-8 name.
  explicit AtomicFile(const std::string& path);
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;
  // Removes the temporary file unless it was committed.
  ~AtomicFile();

  std::ostream& stream() { return out_; }

  // Closes the temporary file and puts it in place of the target. Returns
  // false, with `problem` saying why, when the temporary file could not be
  // opened or written or could not replace the target, which then stays as
  // it was.
  bool commit(std::string& problem);

 private:
  std::filesystem::path target_;
  std::filesystem::path temporary_;
  std::ofstream out_;
  std::string openProblem_;
  bool committed_ = false;
};

// Writes `text` to the file at `path` (UTF-8) as an AtomicFile. Returns false,
// with `problem` saying why, when it cannot.
bool writeFileAtomically(const std::string& path, std::string_view text,
                         std::string& problem);

// Writes one of a program's outputs with `write`: to `standardOutput` for
// "-", else into the file at `path` as an AtomicFile. Returns nothing when it
// went well, else the line that says what could not be written.
std::optional<std::string> writeOutput(const std::string& path,
                                       std::ostream& standardOutput,
                                       const std::function<void(std::ostream&)>& write);

}  // namespace vernatto::common
