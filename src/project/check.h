// The projects checked against the rooms: each reference's match in each
// room, and which rooms open which project.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

#include "fleet/machines.h"
#include "project/library.h"
#include "project/matching.h"

namespace vernatto::project {

// A reference used by many projects is matched once per room, so memory
// grows with the distinct references times the rooms, not with the
// projects times the rooms.
class Check {
 public:
  // Matches every reference of `projects` in every room of `rooms`, which
  // must keep their entries' details and outlive the check.
  Check(const std::vector<Project>& projects, const std::vector<fleet::Machine>& rooms,
        const std::vector<std::string>& ignore);

  // Reference `r` of project `p` in room `room`.
  const Match& match(std::size_t p, std::size_t r, std::size_t room) const {
    return matches_[(distinctOf_[p][r]) * rooms_ + room];
  }
  // The plug-in that reference `r` of project `p` names, however many
  // projects name it and with whichever version: an index in plug-in order
  // (the reference order without the version), below plugins().
  std::uint32_t pluginOf(std::size_t p, std::size_t r) const {
    return pluginOfDistinct_[distinctOf_[p][r]];
  }
  std::size_t plugins() const { return plugins_; }

  // Whether `room` opens project `p`: read whole, with every reference
  // that opens there.
  bool opens(std::size_t p, std::size_t room) const;
  bool opensEverywhere(std::size_t p) const;

  struct Summary {
    std::size_t projects = 0;
    std::size_t rooms = 0;
    std::size_t openEverywhere = 0;
    std::size_t lacking = 0;     // read whole, but a room lacks something
    std::size_t unreadable = 0;  // not read whole
    std::size_t unchecked = 0;   // references unchecked in some room, per project
    bool anyLacking = false;     // a reference is missing, other-format or older
  };
  const Summary& summary() const { return summary_; }

 private:
  const std::vector<Project>& projects_;
  std::size_t rooms_;
  std::vector<std::vector<std::uint32_t>> distinctOf_;  // per project and reference
  std::vector<Match> matches_;                          // per distinct reference and room
  std::vector<std::uint32_t> pluginOfDistinct_;
  std::size_t plugins_ = 0;
  std::vector<std::vector<bool>> opens_;  // per project and room
  Summary summary_;
};

// The words of the outputs: "found", "replacement", ..., "older"; and "id",
// "name", "file", "compatibility" or empty.
std::string_view statusWord(Status status);
std::string_view byWord(By by);
// The CSV's and console's word for a match: "found by id", ..., "missing".
std::string matchWord(const Match& match);

}  // namespace vernatto::project
