// How a program tells the user what went wrong: one line each, begun with
// the program's name, and whether any of them is trouble (exit status 2).
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vernatto::common {

// A line for the user: trouble unless it is only a note.
struct Notice {
  std::string line;
  bool trouble = true;
};

struct Problems {
  std::ostream& err;
  const char* program;  // "vernatto-fleet: "
  bool trouble = false;

  void problem(const std::string& line) {
    err << program << line << std::endl;
    trouble = true;
  }

  // Says every notice, and forgets them.
  void tell(std::vector<Notice>& notices) {
    for (const Notice& notice : notices) {
      err << program << notice.line << std::endl;
      trouble = trouble || notice.trouble;
    }
    notices.clear();
  }
};

}  // namespace vernatto::common
