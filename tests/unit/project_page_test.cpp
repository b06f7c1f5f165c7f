#include <gtest/gtest.h>

#include <sstream>

#include "project/outputs.h"

namespace vernatto::project {
namespace {

const char* const kHostile = "<img src=x onerror=alert('1')>&amp;";
const char* const kEscaped = "&lt;img src=x onerror=alert(&#39;1&#39;)&gt;&amp;amp;";

daw::Reference plugin(std::string name, std::string version = "") {
  return {"VST3", "Acme", std::move(name), "", "", std::move(version), 1, false};
}

// A room holding the VST2 build of each name, at `version`.
fleet::Machine room(std::string name, std::vector<std::string> names,
                    const char* version) {
  fleet::Machine machine{std::move(name), "rooms/r.json", {}, true};
  machine.inventory.keepDetails();
  for (const std::string& text : names) {
    inventory::PluginEntry& entry = machine.inventory.emplace_back();
    entry.vendor = machine.inventory.storeSharedText("Acme");
    entry.technology = machine.inventory.storeSharedText("VST2");
    entry.name = machine.inventory.storeText(text);
    entry.version = machine.inventory.storeText(version);
  }
  return machine;
}

TEST(ProjectPage, EscapesEveryTextAndGivesEachRoomItsColumn) {
  const std::vector<Project> projects = {{kHostile, "reaper", true, {plugin(kHostile)}}};
  const std::vector<fleet::Machine> rooms = {
      room("a", {}, ""), room(kHostile, {kHostile}, kHostile), room("c", {}, "")};
  const Check check(projects, rooms, {});
  std::ostringstream page;
  writeHtml({projects, rooms, &check}, page);
  const std::string html = page.str();
  EXPECT_EQ(html.find("<img"), std::string::npos);
  // The path, the reference's name, the room's name in its column and as a
  // heading of what to install, and the version installed.
  std::size_t count = 0;
  for (std::size_t at = html.find(kEscaped); at != std::string::npos;
       at = html.find(kEscaped, at + 1))
    ++count;
  EXPECT_EQ(count, 9u);
  const std::string head = html.substr(html.find("<thead>"), html.find("</thead>"));
  for (const char* column : {"<th>a<small>", "<th>&lt;img", "<th>c<small>"})
    EXPECT_NE(head.find(column), std::string::npos) << column;
}

TEST(ProjectPage, ToInstallPutsTheMostNeededFirstThenPluginOrder) {
  const std::vector<Project> projects = {
      {"1", "reaper", true, {plugin("B"), plugin("C")}},
      {"2", "reaper", true, {plugin("A"), plugin("C", "2")}},
      {"3", "reaper", false, {plugin("D")}},  // not read whole: needs nothing
      {"4", "reaper", true, {plugin("B")}}};
  const std::vector<fleet::Machine> rooms = {room("r", {"A"}, "1")};
  const Check check(projects, rooms, {});
  std::vector<std::pair<std::string, std::size_t>> order;
  for (const Need& need : toInstall({projects, rooms, &check}, 0))
    order.emplace_back(projects[need.project].references[need.reference].name,
                       need.projects);
  const std::vector<std::pair<std::string, std::size_t>> expected = {
      {"B", 2}, {"C", 2}, {"A", 1}};
  EXPECT_EQ(order, expected);
}

}  // namespace
}  // namespace vernatto::project
