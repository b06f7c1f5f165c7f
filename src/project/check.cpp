#include "project/check.h"

#include <algorithm>
#include <tuple>
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

// One plug-in however many projects use it: a reference without its version.
bool pluginLess(const daw::Reference& a, const daw::Reference& b) {
  if (daw::referenceLess(a, b))
    return true;
  if (daw::referenceLess(b, a))
    return false;
  return std::tie(a.id, a.file) < std::tie(b.id, b.file);
}

}  // namespace

Check::Check(const std::vector<Project>& projects,
             const std::vector<fleet::Machine>& rooms,
             const std::vector<std::string>& ignore)
    : projects_(projects), rooms_(rooms.size()) {
  // One room's index at a time: a room's index costs more than its
  // inventory, and each reference is folded once for all rooms.
  std::unordered_map<std::string, std::uint32_t> distinct;
  std::vector<PreparedReference> prepared;
  distinctOf_.resize(projects.size());
  for (std::size_t p = 0; p < projects.size(); ++p) {
    for (const daw::Reference& reference : projects[p].references) {
      const auto [at, added] = distinct.try_emplace(
          distinctKey(reference), static_cast<std::uint32_t>(distinct.size()));
      distinctOf_[p].push_back(at->second);
      if (added)
        prepared.emplace_back(reference, ignore);
    }
  }
  distinct.clear();
  // The plug-ins in plug-in order, each distinct reference's among them.
  std::vector<std::uint32_t> order(prepared.size());
  for (std::uint32_t d = 0; d < order.size(); ++d)
    order[d] = d;
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
    return pluginLess(prepared[a].reference, prepared[b].reference);
  });
  pluginOfDistinct_.resize(prepared.size());
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (i > 0 &&
        pluginLess(prepared[order[i - 1]].reference, prepared[order[i]].reference))
      ++plugins_;
    pluginOfDistinct_[order[i]] = static_cast<std::uint32_t>(plugins_);
  }
  if (!order.empty())
    ++plugins_;
  matches_.resize(prepared.size() * rooms_);
  for (std::size_t room = 0; room < rooms_; ++room) {
    const RoomIndex index(rooms[room].inventory);
    for (std::size_t d = 0; d < prepared.size(); ++d)
      matches_[d * rooms_ + room] = index.match(prepared[d]);
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
