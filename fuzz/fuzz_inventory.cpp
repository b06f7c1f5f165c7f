// Fuzz target: arbitrary bytes through the reader, the ordering, the pairing
// and the section writer, checking what must hold for every input, and the
// reader against the plain document-based one; then the same bytes as a
// fleet of machines through the fleet's comparison and all of its outputs.
//
// The input holds two inventory files separated by the first line that is
// exactly "----"; without such a line both files get the whole input, which
// also exercises pairing an inventory with itself.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "compare/pairing.h"
#include "fleet/machines.h"
#include "fleet/outputs.h"
#include "inventory/inventory.h"
#include "oracle/document_reader.h"
#include "report/report.h"

namespace {

using vernatto::compare::EntryPair;
using vernatto::inventory::Inventory;
using vernatto::inventory::PluginEntry;

constexpr std::string_view kSeparator = "\n----\n";
// Every pair costs a row; beyond this many candidate pairs an input only
// measures how fast we write, and the reader has been exercised already.
constexpr std::size_t kMaxPairCandidates = std::size_t{1} << 18;
// Display names with markup characters, so the table heads are checked too.
constexpr const char* kFirstName = "first <b>&\"'.json";
constexpr const char* kSecondName = "second</td>.json";

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "fuzz_inventory: %s\n", what);
  std::abort();
}

// Reads with the program's reader and with the plain document-based one;
// whatever the bytes, both must print and return the same.
Inventory readFrom(const std::string& name, std::string_view bytes) {
  std::istringstream in{std::string(bytes)};
  Inventory inventory;
  std::ostringstream console;
  vernatto::inventory::readInventory(in, name, inventory, console);
  if (!std::is_sorted(inventory.begin(), inventory.end(), vernatto::inventory::entryLess))
    fail("the reader returned an unsorted inventory");

  std::istringstream again{std::string(bytes)};
  Inventory expected;
  std::ostringstream expectedConsole;
  vernatto::oracle::readInventoryByDocument(again, name, expected, expectedConsole);
  if (console.str() != expectedConsole.str() || inventory != expected)
    fail("the reader differs from the document-based reader");
  return inventory;
}

bool samePair(const EntryPair& p, const PluginEntry& a, const PluginEntry& b) {
  return p.first == &a && p.second == &b;
}

// The pairing must equal the plain nested loop over both inventories.
void checkPairs(const std::vector<EntryPair>& pairs, const Inventory& first,
                const Inventory& second) {
  std::size_t next = 0;
  for (const PluginEntry& a : first) {
    for (const PluginEntry& b : second) {
      if (a.vendor != b.vendor || a.name != b.name || a.technology != b.technology)
        continue;
      if (next == pairs.size() || !samePair(pairs[next], a, b))
        fail("pairing differs from the nested loop");
      ++next;
    }
  }
  if (next != pairs.size())
    fail("pairing made pairs the nested loop does not");
}

std::size_t countOf(std::string_view text, std::string_view what) {
  std::size_t count = 0;
  for (std::size_t at = text.find(what); at != std::string_view::npos;
       at = text.find(what, at + what.size()))
    ++count;
  return count;
}

// Only the writer's own tags and references may appear in the page: any
// other '<', '>', quote or '&' would have come from inventory text.
void checkMarkup(const std::string& page, std::size_t pairCount) {
  static const std::string_view kAllowed[] = {
      "<h2>",  "</h2>", "<table>", "</table>", "<thead>", "</thead>",
      "<tr>",  "</tr>", "<th>",    "</th>",    "<td>",    "</td>",
      "&amp;", "&lt;",  "&gt;",    "&quot;",   "&#39;",   "&nbsp;"};
  for (std::size_t i = 0; i < page.size(); ++i) {
    const char c = page[i];
    if (c != '<' && c != '>' && c != '&' && c != '"' && c != '\'')
      continue;
    const std::string_view rest(page.data() + i, page.size() - i);
    const auto allowed =
        std::find_if(std::begin(kAllowed), std::end(kAllowed),
                     [&](std::string_view a) { return rest.rfind(a, 0) == 0; });
    if (allowed == std::end(kAllowed))
      fail("markup from inventory text reached the page");
    i += allowed->size() - 1;
  }
  // One row per pair, plus the three table heads.
  if (countOf(page, "<tr>") != pairCount + 3)
    fail("the page does not hold one row per pair");
}

// The fleet's reading keeps what was read whole; its JSON must parse and
// account for every entry of every machine exactly once, in plug-in order.
void checkFleet(std::string_view firstBytes, std::string_view secondBytes) {
  std::vector<vernatto::fleet::Machine> machines(3);
  const std::string_view bytes[] = {firstBytes, secondBytes, firstBytes};
  std::vector<const Inventory*> inventories;
  std::vector<bool> complete;
  // The third machine reads the first one's bytes keeping details, which
  // must change none of its entries.
  machines[2].inventory.keepDetails();
  for (std::size_t m = 0; m < machines.size(); ++m) {
    machines[m].name = "m<" + std::to_string(m);
    std::istringstream in{std::string(bytes[m])};
    std::string why;
    vernatto::fleet::readMachine(in, machines[m], why);
    inventories.push_back(&machines[m].inventory);
    complete.push_back(machines[m].complete);
  }
  if (machines[0].inventory != machines[2].inventory)
    fail("keeping details changed the entries read");
  const vernatto::fleet::PluginTable table(inventories, complete);
  const vernatto::fleet::Fleet fleet{machines, table, 0};
  std::ostringstream json, csv, html, console;
  vernatto::fleet::writeJson(fleet, json);
  vernatto::fleet::writeCsv(fleet, csv);
  vernatto::fleet::writeHtml(fleet, html);
  vernatto::fleet::writeConsole(fleet, true, console);

  const nlohmann::json document = nlohmann::json::parse(json.str(), nullptr, false);
  if (document.is_discarded() || document["plugins"].size() != table.counts().plugins)
    fail("the fleet's JSON does not parse or does not list every plug-in");
  std::vector<std::size_t> installs(machines.size(), 0);
  for (const nlohmann::json& plugin : document["plugins"]) {
    for (std::size_t m = 0; m < machines.size(); ++m)
      installs[m] += plugin["installs"][m].size();
  }
  for (std::size_t m = 0; m < machines.size(); ++m) {
    if (installs[m] != machines[m].inventory.size())
      fail("the fleet's JSON does not hold every entry once");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t cut = input.find(kSeparator);
  const std::string_view firstBytes = input.substr(0, cut);
  const std::string_view secondBytes =
      cut == std::string_view::npos ? input : input.substr(cut + kSeparator.size());

  const Inventory first = readFrom("first.json", firstBytes);
  const Inventory second = readFrom("second.json", secondBytes);
  if (first.size() * second.size() > kMaxPairCandidates)
    return 0;

  const std::vector<EntryPair> pairs = vernatto::compare::pairEntries(first, second);
  checkPairs(pairs, first, second);
  std::ostringstream console;
  std::ostringstream page;
  vernatto::report::writeSections(pairs, kFirstName, kSecondName, console, page);
  checkMarkup(page.str(), pairs.size());
  checkFleet(firstBytes, secondBytes);
  return 0;
}
