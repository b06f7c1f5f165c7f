#include "project/check.h"

#include <unordered_map>

namespace vernatto::project {
namespace {

// What makes two projects' references the same question for a room: every
// text the rules read, and whether the host brings it.
std::string distinctKey(const daw::Reference& r) {
  std::string key;
  for (const std::string* text :
       {&r.technology, &r.vendor, &r.name, &r.id, &r.file, &r.version})
    key.append(*text).append(1, '\0');
  key += r.host ? '1' : '0';
  return key;
}

}  // namespace

Check::Check(const std::vector<Project>& projects,
             const std::vector<fleet::Machine>& rooms,
             const std::vector<std::string>& ignore)
    : projects_(projects), rooms_(rooms.size()) {
  std::vector<RoomIndex> indices;
  indices.reserve(rooms.size());
  for (const fleet::Machine& room : rooms)
    indices.emplace_back(room.inventory);
  std::unordered_map<std::string, std::uint32_t> distinct;
  distinctOf_.resize(projects.size());
  for (std::size_t p = 0; p < projects.size(); ++p) {
    for (const daw::Reference& reference : projects[p].references) {
      const auto [at, added] = distinct.try_emplace(
          distinctKey(reference), static_cast<std::uint32_t>(distinct.size()));
      distinctOf_[p].push_back(at->second);
      if (!added)
        continue;
      for (const RoomIndex& index : indices)
        matches_.push_back(index.match(reference, ignore));
    }
  }

  summary_.projects = projects.size();
  summary_.rooms = rooms.size();
  opens_.resize(projects.size());
  for (std::size_t p = 0; p < projects.size(); ++p) {
    bool unchecked = false;
    bool everywhere = projects[p].complete;
    opens_[p].assign(rooms_, projects[p].complete);
    for (std::size_t r = 0; r < projects[p].references.size(); ++r) {
      for (std::size_t room = 0; room < rooms_; ++room) {
        const Status status = match(p, r, room).status;
        unchecked = unchecked || status == Status::kUnchecked;
        if (!project::opens(status)) {
          opens_[p][room] = false;
          everywhere = false;
          summary_.anyLacking = true;
        }
      }
    }
    summary_.unchecked += unchecked;
    if (!projects[p].complete)
      ++summary_.unreadable;
    else if (everywhere)
      ++summary_.openEverywhere;
    else
      ++summary_.lacking;
  }
}

bool Check::opens(std::size_t p, std::size_t room) const {
  return opens_[p][room];
}

bool Check::opensEverywhere(std::size_t p) const {
  for (std::size_t room = 0; room < rooms_; ++room) {
    if (!opens_[p][room])
      return false;
  }
  return projects_[p].complete;
}

std::string_view statusWord(Status status) {
  switch (status) {
    case Status::kHost:
      return "host";
    case Status::kIgnored:
      return "ignored";
    case Status::kFound:
      return "found";
    case Status::kReplacement:
      return "replacement";
    case Status::kUnchecked:
      return "unchecked";
    case Status::kOtherFormat:
      return "other-format";
    case Status::kMissing:
      return "missing";
    case Status::kOlder:
      return "older";
  }
  return "missing";
}

std::string_view byWord(By by) {
  switch (by) {
    case By::kId:
      return "id";
    case By::kName:
      return "name";
    case By::kFile:
      return "file";
    case By::kCompatibility:
      return "compatibility";
    case By::kNone:
      break;
  }
  return {};
}

std::string matchWord(const Match& match) {
  std::string word(statusWord(match.status));
  if (match.status == Status::kFound)
    word.append(" by ").append(byWord(match.by));
  return word;
}

}  // namespace vernatto::project
