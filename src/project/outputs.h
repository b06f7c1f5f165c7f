// What the project program writes: the console, and the page, CSV and JSON.
// Each writes to a stream as it goes.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "fleet/machines.h"
#include "project/check.h"
#include "project/library.h"

namespace vernatto::project {

// The projects, and with rooms their check; a listing has neither rooms nor
// check.
struct Answer {
  const std::vector<Project>& projects;
  const std::vector<fleet::Machine>& rooms;
  const Check* check = nullptr;
  bool isListing() const { return check == nullptr; }
};

// The listing: each project and what it uses. The check: the summary line,
// what each room lacks of the projects that do not open everywhere (with
// `all`, every project), and what to install in each room. With `uses`, the
// projects that use each plug-in too.
void writeConsole(const Answer& answer, bool all, const std::vector<std::string>& uses,
                  std::ostream& out);

// The answer as JSON: two-space indent, UTF-8, a final newline.
void writeJson(const Answer& answer, std::ostream& out);

// The answer as CSV (RFC 4180) with a byte order mark and CR LF line ends,
// one record per project and reference.
void writeCsv(const Answer& answer, std::ostream& out);

// A plug-in that a room lacks (missing, in another format or older there)
// and how many of the projects read whole need it.
struct Need {
  std::size_t project;    // the first project that needs it
  std::size_t reference;  // its reference in that project
  std::size_t projects;
};

// What room `room` of the check lacks, most needed first, ties in plug-in
// order (the reference order without the version).
std::vector<Need> toInstall(const Answer& answer, std::size_t room);

// The check as one self-contained HTML page: projects down, rooms across,
// each project opening to its references; what to install in each room.
void writeHtml(const Answer& answer, std::ostream& out);

}  // namespace vernatto::project
