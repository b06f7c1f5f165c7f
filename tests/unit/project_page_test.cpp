#include <gtest/gtest.h>

#include <sstream>

#include "project/outputs.h"

namespace vernatto::project {
namespace {

const char* const kHostile = "<img src=x onerror=alert('1')>&amp;";

daw::Reference plugin(std::string name, std::string version = "") {
  return {"VST3", "Acme", std::move(name), "", "", std::move(version), 1, false};
}

// A room holding the VST2 build of each of `names`, at version `name`.
fleet::Machine room(const std::string& name, const std::vector<std::string>& names) {
  fleet::Machine machine{name, "rooms/r.json", {}, true};
  for (const std::string& text : names) {
    machine.inventory.push_back({"Acme", text, name, "VST2", 0});
  }
  return machine;
}

TEST(ProjectPage, EscapesEveryTextAndGivesEachRoomItsColumn) {
  const std::vector<Project> projects = {{kHostile, "reaper", true, {plugin(kHostile)}}};
  const std::vector<fleet::Machine> rooms = {room("a", {}), room(kHostile, {kHostile}),
                                             room("c", {})};
  const Check check(projects, rooms, {});
  std::ostringstream page;
  writeHtml({projects, rooms, &check}, page);
  const std::string html = page.str();
  EXPECT_EQ(html.find("<img"), std::string::npos);
  // The path; the reference's name; the room's name in its column and over
  // what to install there, the version it has, and the name in each room's
  // table of what to install.
  std::size_t count = 0;
  const std::string escaped = "&lt;img src=x onerror=alert(&#39;1&#39;)&gt;&amp;amp;";
  for (std::size_t at = html.find(escaped); at != std::string::npos;
       at = html.find(escaped, at + 1))
    ++count;
  EXPECT_EQ(count, 9u);
  // Each room's column heading, in room order.
  std::size_t at = html.find("<thead>");
  for (const char* column : {"<th>a<small>", "<th>&lt;img", "<th>c<small>"}) {
    at = html.find(column, at);
    EXPECT_LT(at, html.find("</thead>")) << column;
  }
}

TEST(ProjectPage, ToInstallPutsTheMostNeededFirstThenPluginOrder) {
  const std::vector<Project> projects = {
      {"1", "reaper", true, {plugin("B"), plugin("C")}},
      {"2", "reaper", true, {plugin("A"), plugin("C", "2")}},
      {"3", "reaper", false, {plugin("D")}},  // not read whole: needs nothing
      {"4", "reaper", true, {plugin("B")}}};
  const std::vector<fleet::Machine> rooms = {room("r", {"A"})};
  const Check check(projects, rooms, {});
  std::vector<std::pair<std::string, std::size_t>> order;
  for (const Need& need : toInstall({projects, rooms, &check}, 0))
    order.emplace_back(projects[need.project].references[need.reference].name,
                       need.projects);
  const decltype(order) expected = {{"B", 2}, {"C", 2}, {"A", 1}};
  EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace vernatto::project
