#include <algorithm>
#include <ostream>
#include <set>
#include <string>

#include "common/html.h"
#include "fleet/outputs.h"
#include "inventory/inventory.h"

namespace vernatto::fleet {
namespace {

using common::appendEscaped;

// Column widths in em: vendor, name, technology and status stay in view
// while the machines scroll past them, so their offsets must be known in
// advance.
constexpr int kVendorWidth = 10;
constexpr int kNameWidth = 14;
constexpr int kTechnologyWidth = 7;
constexpr int kStatusWidth = 6;
constexpr int kMachineWidth = 8;
// Rows in a block that the browser lays out only once it comes into view.
constexpr std::size_t kBlockRows = 50;

// The page's own rules, after those every matrix page shares.
const char* const kStyle =
    R"(td.x{background:#f6c6cb}td.d,td.o,td.n,td.e{background:#ffe9a8}td.u{outline:2px dashed #7a3fb0;outline-offset:-3px}
td.k{background:repeating-linear-gradient(135deg,#eee 0 6px,#fff 6px 12px)}
th.i{background:#f6c6cb!important}th.r{background:#b9d7f5!important}
.machines td:nth-child(n+3){text-align:right}
.machines th,.machines td:nth-child(n+3){white-space:nowrap}
)";

// The filter: the filter box applies to vendor and name, then the
// technology list, and "only what differs", which starts switched on.
constexpr common::FilterScript kScript = {
    R"(      t = +d.getElementById('matrix').getAttribute('data-technology');
  for (var b = 0; b < blocks.length; b++) {
    var body = blocks[b].querySelector('tbody').rows;
    for (var i = 0; i < body.length; i++) {
      var c = body[i].cells, text = '';
      for (var j = 0; j < t; j++) text += c[j].textContent + '\n';
      rows.push({row: body[i], block: b, text: text.toLowerCase(),
                 technology: c[t].textContent, alike: body[i].className === 'sa'});
    }
  }
  var filter = d.getElementById('filter'), technology = d.getElementById('technology'),
      differs = d.getElementById('differs'), shown = d.getElementById('shown');
)",
    "    var q = filter.value.toLowerCase(), t = technology.value, n = 0, seen = [];\n",
    R"(      var show = (!q || r.text.indexOf(q) >= 0) && (!t || r.technology === t) &&
                 !(differs.checked && r.alike);
)",
    R"(  filter.addEventListener('input', apply);
  technology.addEventListener('change', apply);
  differs.addEventListener('change', apply);
)"};

constexpr const char* kStatusClass[] = {"sm", "sv", "st", "sa"};

// A cell's class and the word that says why, so that print and readers who
// cannot tell the colours apart get it too.
struct Mark {
  const char* cls;
  const char* word;
};

Mark markOf(const Fleet& fleet, const PluginRow& row, std::size_t m) {
  const Installs on = row.on(m);
  if (on.unknown)
    return {"k", "? unknown"};
  // Lacking what the reference lacks too is no finding, unless the
  // reference's own cell is unknown.
  if (on.empty() && (!fleet.hasReference() || !row.on(fleet.reference).empty() ||
                     row.on(fleet.reference).unknown))
    return {"x", "\xE2\x9C\x97 missing"};
  if (!fleet.hasReference())
    return row.differsOn(m) ? Mark{"d", "\xE2\x89\xA0 differs"} : Mark{nullptr, nullptr};
  if (m == fleet.reference)
    return {nullptr, nullptr};
  switch (versusOf(row.on(m), row.on(fleet.reference))) {
    case Versus::kOlder:
      return {"o", "\xE2\x96\xBC older"};
    case Versus::kNewer:
      return {"n", "\xE2\x96\xB2 newer"};
    case Versus::kExtra:
      return {"e", "+ extra"};
    case Versus::kDiffers:
      return {"d", "\xE2\x89\xA0 differs"};
    case Versus::kMissing:
    case Versus::kNone:
    case Versus::kReference:
    case Versus::kSame:
    case Versus::kUnknown:
      break;
  }
  return {nullptr, nullptr};
}

void appendCell(const Fleet& fleet, const PluginRow& row, std::size_t m,
                std::string& html) {
  const Installs on = row.on(m);
  const Mark mark = markOf(fleet, row, m);
  const bool twice = on.size() > 1;
  html += "<td";
  if (mark.cls != nullptr || twice) {
    html += " class=\"";
    if (mark.cls != nullptr)
      html.append(mark.cls).append(twice ? " " : "");
    html.append(twice ? "u" : "").append("\"");
  }
  html += '>';
  appendCellText(html, on, appendEscaped);
  if (mark.word != nullptr)
    html.append("<small>").append(mark.word).append("</small>");
  if (twice)
    html.append("<small>installed \xC3\x97")
        .append(std::to_string(on.size()))
        .append("</small>");
}

void appendRow(const Fleet& fleet, bool vendors, const PluginRow& row,
               std::string& html) {
  html.append("<tr class=")
      .append(kStatusClass[static_cast<int>(row.status)])
      .append(">");
  if (vendors) {
    html += "<th>";
    appendEscaped(html, row.key->vendor);
  }
  html += "<th>";
  appendEscaped(html, row.key->name);
  html += "<th>";
  appendEscaped(html, row.key->technology);
  html.append("<td>").append(statusWord(row.status));
  for (std::size_t m = 0; m < fleet.machines.size(); ++m)
    appendCell(fleet, row, m, html);
  html += '\n';
}

void appendCounts(const Fleet& fleet, std::string& html) {
  const StatusCounts& c = fleet.table.counts();
  html += "<p class=counts>";
  const std::pair<std::size_t, const char*> counts[] = {
      {fleet.machines.size(), " machines"}, {c.plugins, " plug-ins"},
      {c.missing, " missing somewhere"},    {c.version, " differing in version"},
      {c.time, " differing in time"},       {c.alike, " alike"},
  };
  const char* separator = "";
  for (const auto& [n, what] : counts) {
    html.append(separator)
        .append("<b>")
        .append(std::to_string(n))
        .append(what)
        .append("</b>");
    separator = " \xC2\xB7 ";
  }
  html += "<b id=shown></b></p>\n";
}

void appendControls(const Fleet& fleet, std::string& html) {
  std::set<std::string_view> technologies;
  for (const PluginEntry* key : fleet.table.keys())
    technologies.insert(key->technology);
  html +=
      "<div id=controls hidden>\n<label>Filter <input type=search id=filter "
      "placeholder=\"vendor or name\"></label>\n<label>Technology <select id=technology>"
      "<option value=\"\">all</option>";
  for (std::string_view technology : technologies) {
    html += "<option>";
    appendEscaped(html, technology);
    html += "</option>";
  }
  html +=
      "</select></label>\n<label><input type=checkbox id=differs checked> only what "
      "differs</label>\n</div>\n";
}

// The columns that stay in view while the machines scroll past them, with
// their widths in em: the vendor column is left out when no plug-in has a
// vendor, so that it takes no room.
common::MatrixColumns matrixColumns(bool vendors, std::size_t machines) {
  if (vendors)
    return {{kVendorWidth, kNameWidth, kTechnologyWidth, kStatusWidth},
            machines,
            kMachineWidth};
  return {{kNameWidth, kTechnologyWidth, kStatusWidth}, machines, kMachineWidth};
}

// The rules that depend on the key columns: the status column (the last) in
// its colour.
std::string keyStyle(const common::MatrixColumns& matrix) {
  const std::string n = std::to_string(matrix.keys.size());
  return common::matrixStyle(matrix) + "#matrix tbody td:nth-child(" + n +
         "){background:#f4f4f4}\n.sm td:nth-child(" + n +
         "){color:#a00}.sv td:nth-child(" + n + "),.st td:nth-child(" + n +
         "){color:#850}\n" + common::keyOffsets(matrix);
}

// The header row stays in view above the rows, which come in blocks of
// their own: a browser lays out only the blocks in view, so a page of a
// hundred machines by thousands of plug-ins opens in a moment.
void appendMatrixHead(const Fleet& fleet, const common::MatrixColumns& matrix,
                      std::string& html) {
  const std::size_t machines = fleet.machines.size();
  const std::vector<int>& keys = matrix.keys;
  // The script filters on the key cells before the technology's.
  html += "<div class=wrap id=matrix data-technology=" + std::to_string(keys.size() - 2) +
          ">\n<div class=head>" + common::matrixTableStart(matrix);
  html +=
      keys.size() == 4 ? "<thead><tr><th>Vendor<th>Plug-in" : "<thead><tr><th>Plug-in";
  html += "<th>Technology<th>Status";
  for (std::size_t m = 0; m < machines; ++m) {
    const Machine& machine = fleet.machines[m];
    html += m == fleet.reference ? "<th class=r>"
            : machine.complete   ? "<th>"
                                 : "<th class=i>";
    appendEscaped(html, machine.name);
    if (m == fleet.reference)
      html += "<small>reference</small>";
    if (!machine.complete)
      html += "<small>\xE2\x9A\xA0 incomplete</small>";
  }
  html += "</thead>\n</table></div>\n";
}

void appendMachineTable(const Fleet& fleet, std::string& html) {
  const bool judged = fleet.hasReference();
  html +=
      "<h2>Machines</h2>\n<table class=machines>\n<thead><tr><th>Machine<th>File"
      "<th>Entries<th>Lacks";
  html += judged ? "<th>Extra<th>Older<th>Newer<th>Differing" : "<th>Differing";
  html += "<th>Duplicates<th>Read</thead>\n<tbody>\n";
  const std::vector<MachineStats> stats = machineStats(fleet.table, fleet.reference);
  for (std::size_t m = 0; m < fleet.machines.size(); ++m) {
    const Machine& machine = fleet.machines[m];
    const MachineStats& s = stats[m];
    html += "<tr><td>";
    appendEscaped(html, machine.name);
    if (m == fleet.reference)
      html += " (reference)";
    html += "<td>";
    appendEscaped(html, machine.path);
    std::vector<std::size_t> numbers = {machine.inventory.size(), s.lacks};
    if (judged)
      numbers.insert(numbers.end(), {s.extra, s.older, s.newer});
    numbers.insert(numbers.end(), {s.differing, s.duplicates});
    for (std::size_t n : numbers)
      html.append("<td>").append(std::to_string(n));
    if (machine.complete) {
      html += "<td>whole\n";
      continue;
    }
    html += "<td class=x>\xE2\x9A\xA0 incomplete";
    if (s.unknown > 0)
      html += ", " + std::to_string(s.unknown) + " unknown";
    html += '\n';
  }
  html += "</tbody>\n</table>\n";
}

const char* const kLegend =
    "<p>A cell shows the machine's version of the plug-in, or where it has none the "
    "file's time (UTC); several installs are joined by +. Marked: \xE2\x9C\x97 missing, "
    "\xE2\x89\xA0 differs (from what most machines hold, or from the reference), "
    "\xE2\x96\xBC older and \xE2\x96\xB2 newer than the reference, + extra (not on the "
    "reference), ? unknown (the machine's file was not read whole, and what it "
    "lost may hold the plug-in), installed \xC3\x97 2 or more: more than once, so "
    "that a host may load the wrong copy.</p>\n";

}  // namespace

void writeHtml(const Fleet& fleet, std::ostream& out) {
  const std::string machines = std::to_string(fleet.machines.size());
  const bool vendors =
      std::any_of(fleet.table.keys().begin(), fleet.table.keys().end(),
                  [](const PluginEntry* key) { return !key->vendor.empty(); });
  const common::MatrixColumns matrix = matrixColumns(vendors, fleet.machines.size());
  std::string html = common::pageStart("Plug-ins on " + machines + " machines",
                                       kStyle + keyStyle(matrix));
  appendCounts(fleet, html);
  appendControls(fleet, html);
  appendMatrixHead(fleet, matrix, html);
  const std::string blockStart =
      "<div class=rows>" + common::matrixTableStart(matrix) + "<tbody>\n";
  const char* const blockEnd = "</tbody>\n</table></div>\n";
  fleet.table.forEach([&](const PluginRow& row) {
    if (row.index % kBlockRows == 0) {
      if (row.index > 0)
        html += blockEnd;
      html += blockStart;
    }
    appendRow(fleet, vendors, row, html);
    if (html.size() > (1u << 16)) {
      out << html;
      html.clear();
    }
  });
  if (fleet.table.counts().plugins > 0)
    html += blockEnd;
  html += "</div>\n";
  html += kLegend;
  appendMachineTable(fleet, html);
  html += common::filterScript(kScript);
  html += "</body>\n</html>\n";
  out << html;
  out.flush();
}

}  // namespace vernatto::fleet
