#include <algorithm>
#include <map>
#include <ostream>
#include <string>
#include <tuple>

#include "project/outputs.h"

namespace vernatto::project {
namespace {

// A plug-in as every part of the console names it.
std::string plugin(const daw::Reference& r) {
  return r.vendor + " | " + r.name + " | " + r.technology;
}

std::string heading(const Project& project) {
  std::string line =
      project.path + " (" + (project.format.empty() ? "unknown format" : project.format);
  return line + (project.complete ? ")" : ", not read whole)");
}

// One plug-in however many projects use it: a reference without its version.
bool pluginLess(const daw::Reference* a, const daw::Reference* b) {
  if (daw::referenceLess(*a, *b))
    return true;
  if (daw::referenceLess(*b, *a))
    return false;
  return std::tie(a->id, a->file) < std::tie(b->id, b->file);
}

// What a room holds in place of a reference, for the lines that say why it
// does not open there.
std::string whatIsThere(const fleet::Machine& room, const daw::Reference& reference,
                        const Match& match) {
  std::string line = plugin(reference) + ": " + matchWord(match);
  if (match.install == Match::kNoInstall)
    return line;
  const inventory::PluginEntry& entry = room.inventory[match.install];
  const std::string installed =
      entry.version.empty() ? "no version" : std::string(entry.version);
  if (match.status == Status::kOlder)
    return line + ", " + reference.version + " saved, " + installed + " installed";
  if (match.status == Status::kOtherFormat)
    return line + ", there is " + std::string(entry.technology) + " \"" +
           std::string(entry.name) + "\" " + installed;
  return line;
}

void writeListing(const Answer& answer, std::ostream& out) {
  for (const Project& project : answer.projects) {
    out << heading(project) << '\n';
    for (const daw::Reference& r : project.references)
      out << "  " << plugin(r) << " | " << r.instances << '\n';
  }
}

void writeSummary(const Check::Summary& s, std::ostream& out) {
  out << s.projects << (s.projects == 1 ? " project, " : " projects, ") << s.rooms
      << (s.rooms == 1 ? " room: " : " rooms: ") << s.openEverywhere
      << " open everywhere, " << s.lacking << " lack plug-ins somewhere, " << s.unreadable
      << " could not be read, " << s.unchecked
      << (s.unchecked == 1 ? " reference unchecked\n" : " references unchecked\n");
}

void writeProjects(const Answer& answer, bool all, std::ostream& out) {
  const Check& check = *answer.check;
  for (std::size_t p = 0; p < answer.projects.size(); ++p) {
    const Project& project = answer.projects[p];
    const bool everywhere = check.opensEverywhere(p);
    if (everywhere && !all)
      continue;
    out << '\n' << heading(project) << '\n';
    if (!project.complete) {
      out << "  opens nowhere until it is read whole\n";
      continue;
    }
    std::string opening;
    for (std::size_t room = 0; room < answer.rooms.size(); ++room) {
      if (check.opens(p, room))
        opening += (opening.empty() ? "" : ", ") + answer.rooms[room].name;
    }
    if (everywhere)
      opening = "everywhere";
    if (!opening.empty())
      out << "  opens " << (everywhere ? "" : "on ") << opening << '\n';
    for (std::size_t room = 0; room < answer.rooms.size(); ++room) {
      if (check.opens(p, room))
        continue;
      out << "  " << answer.rooms[room].name << " lacks:\n";
      for (std::size_t r = 0; r < project.references.size(); ++r) {
        const Match& match = check.match(p, r, room);
        if (!opens(match.status))
          out << "    " << whatIsThere(answer.rooms[room], project.references[r], match)
              << '\n';
      }
    }
    for (std::size_t r = 0; r < project.references.size(); ++r) {
      for (std::size_t room = 0; room < answer.rooms.size(); ++room) {
        if (check.match(p, r, room).status == Status::kUnchecked) {
          out << "  unchecked (no file to look for): " << plugin(project.references[r])
              << '\n';
          break;
        }
      }
    }
  }
}

void writeToInstall(const Answer& answer, std::ostream& out) {
  bool headed = false;
  for (std::size_t room = 0; room < answer.rooms.size(); ++room) {
    const std::vector<Need> needs = toInstall(answer, room);
    if (needs.empty())
      continue;
    if (!headed)
      out << "\nTo install\n";
    headed = true;
    out << "  " << answer.rooms[room].name << ":\n";
    for (const Need& need : needs) {
      out << "    " << plugin(answer.projects[need.project].references[need.reference])
          << ": " << need.projects << (need.projects == 1 ? " project\n" : " projects\n");
    }
  }
}

// For each plug-in that --uses kept, the projects that use it, and with
// rooms its status in each.
void writeUses(const Answer& answer, std::ostream& out) {
  std::map<const daw::Reference*, std::vector<std::pair<std::size_t, std::size_t>>,
           decltype(&pluginLess)>
      users(&pluginLess);
  for (std::size_t p = 0; p < answer.projects.size(); ++p) {
    for (std::size_t r = 0; r < answer.projects[p].references.size(); ++r)
      users[&answer.projects[p].references[r]].emplace_back(p, r);
  }
  out << "\nProjects that use each plug-in\n";
  for (const auto& [key, uses] : users) {
    out << "  " << plugin(*key) << ": " << uses.size()
        << (uses.size() == 1 ? " project\n" : " projects\n");
    for (const auto& [p, r] : uses) {
      const daw::Reference& reference = answer.projects[p].references[r];
      out << "    " << answer.projects[p].path << " (" << reference.instances
          << (reference.instances == 1 ? " instance" : " instances");
      for (std::size_t room = 0; !answer.isListing() && room < answer.rooms.size();
           ++room)
        out << (room == 0 ? "; " : ", ") << answer.rooms[room].name << ": "
            << matchWord(answer.check->match(p, r, room));
      out << ")\n";
    }
  }
}

}  // namespace

std::vector<Need> toInstall(const Answer& answer, std::size_t room) {
  const Check& check = *answer.check;
  // Per plug-in: the first reference that needs it, and how many projects.
  std::vector<Need> needed(check.plugins(), Need{0, 0, 0});
  for (std::size_t p = 0; p < answer.projects.size(); ++p) {
    const Project& project = answer.projects[p];
    for (std::size_t r = 0; project.complete && r < project.references.size(); ++r) {
      if (opens(check.match(p, r, room).status))
        continue;
      // A project names a plug-in once: its instances are one reference.
      Need& need = needed[check.pluginOf(p, r)];
      if (need.projects == 0)
        need = {p, r, 0};
      ++need.projects;
    }
  }
  needed.erase(std::remove_if(needed.begin(), needed.end(),
                              [](const Need& need) { return need.projects == 0; }),
               needed.end());
  std::stable_sort(needed.begin(), needed.end(),
                   [](const Need& a, const Need& b) { return a.projects > b.projects; });
  return needed;
}

void writeConsole(const Answer& answer, bool all, const std::vector<std::string>& uses,
                  std::ostream& out) {
  if (answer.isListing()) {
    writeListing(answer, out);
  } else {
    writeSummary(answer.check->summary(), out);
    writeProjects(answer, all, out);
    writeToInstall(answer, out);
  }
  if (!uses.empty())
    writeUses(answer, out);
  out.flush();
}

}  // namespace vernatto::project
