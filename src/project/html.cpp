#include <algorithm>
#include <ostream>
#include <string>
#include <utility>

#include "common/html.h"
#include "project/outputs.h"

namespace vernatto::project {
namespace {

using common::appendEscaped;

// Column widths in em: the project's path stays in view while the rooms
// scroll past it.
constexpr int kPathWidth = 22;
constexpr int kRoomWidth = 9;
// Projects in a block that the browser lays out only once it comes into view.
constexpr std::size_t kBlockRows = 50;

// A project is a <details> element whose summary is its row, so that it opens
// to its references without script: the summary is a grid of the matrix's
// columns, the references a table of the same columns.
const char* const kStyle = R"(h3{font-size:11pt;margin-bottom:.3em}
#matrix summary{display:grid;list-style:none;cursor:pointer}
#matrix summary::-webkit-details-marker{display:none}
#matrix summary>span{box-sizing:border-box;border:solid #bbb;border-width:0 1px 1px 0;
padding:2px 4px;overflow-wrap:anywhere}
#matrix summary>:first-child{position:sticky;left:0;z-index:1;background:#f4f4f4}
#matrix summary>:first-child::before{content:"\25B8  "}
#matrix details[open]>summary>:first-child::before{content:"\25BE  "}
#matrix details table{margin-bottom:.4em}
#matrix details th{padding-left:1.5em}
#matrix details p{margin:0 0 .4em 1.5em}
#matrix details td:not([class]){color:#555}
.y{background:#cdebd3}.x{background:#f6c6cb}.o{background:#ffe9a8}
.u{outline:2px dashed #7a3fb0;outline-offset:-3px}
.k{background:repeating-linear-gradient(135deg,#eee 0 6px,#fff 6px 12px)}
th.i{background:#f6c6cb!important}
.install{margin-bottom:1em}.install td:nth-child(4){text-align:right}
@media print{#matrix summary>:first-child{position:static}}
)";

// The filter: the project box applies to the paths, the plug-in box to the
// references' texts (hiding, in the projects it keeps, the references that
// do not match), and "only what lacks plug-ins" to the projects that do not
// open everywhere.
constexpr common::FilterScript kScript = {
    R"(      path = d.getElementById('path'), plugin = d.getElementById('plugin'),
      lacking = d.getElementById('lacking'), shown = d.getElementById('shown');
  for (var b = 0; b < blocks.length; b++) {
    var projects = blocks[b].children;
    for (var i = 0; i < projects.length; i++) {
      rows.push({row: projects[i], block: b, lacks: projects[i].className !== 'p',
                 path: projects[i].querySelector('span').textContent.toLowerCase()});
    }
  }
  // The references' rows and texts, read only once a plug-in is looked for:
  // a large library has tens of thousands.
  function references(r) {
    if (!r.refs) {
      r.refs = r.row.querySelectorAll('tbody tr');
      r.texts = [];
      for (var j = 0; j < r.refs.length; j++)
        r.texts.push(r.refs[j].cells[0].textContent.toLowerCase());
    }
    return r.refs;
  }
)",
    "    var p = path.value.toLowerCase(), q = plugin.value.toLowerCase(),\n"
    "        n = 0, seen = [];\n",
    R"(      var uses = 0, refs = q || r.narrowed ? references(r) : [];
      for (var j = 0; j < refs.length; j++) {
        var hit = !q || r.texts[j].indexOf(q) >= 0;
        if (refs[j].hidden === hit) refs[j].hidden = !hit;
        if (hit) uses++;
      }
      r.narrowed = !!q;
      var show = (!p || r.path.indexOf(p) >= 0) && (!q || uses > 0) &&
                 !(lacking.checked && !r.lacks);
)",
    R"(  path.addEventListener('input', apply);
  plugin.addEventListener('input', apply);
  lacking.addEventListener('change', apply);
)"};

const char* const kLegend =
    "<p>A room opens a project when it holds every plug-in the project uses. A "
    "project's cell says \xE2\x9C\x93 opens, or what the room lacks: \xE2\x9C\x97 "
    "missing, \xE2\x89\xA0 other format (only another technology of the plug-in is "
    "installed), \xE2\x96\xBC older (than the version the project saved). A project "
    "opens to its plug-ins: \xE2\x9C\x93 found by id, name or file, \xE2\x86\xBB "
    "replacement (a plug-in that declares itself its successor, which the host opens "
    "instead), \xE2\x8C\x82 host (comes with the host), \xE2\x80\x93 ignored, ? "
    "unchecked (the project names nothing to look for). A project not read whole "
    "(\xE2\x9A\xA0) opens nowhere. Only plug-ins are checked: not samples, sampler "
    "libraries, Max for Live devices or what shell plug-ins hold.</p>\n";

// A cell's class, symbol and word: marks that print and readers who cannot
// tell the colours apart get too.
struct Mark {
  const char* cls;
  const char* text;
};

Mark markOf(const Match& match) {
  switch (match.status) {
    case Status::kHost:
      return {nullptr, "\xE2\x8C\x82 host"};
    case Status::kIgnored:
      return {nullptr, "\xE2\x80\x93 ignored"};
    case Status::kFound:
      switch (match.by) {
        case By::kName:
          return {nullptr, "\xE2\x9C\x93 name"};
        case By::kFile:
          return {nullptr, "\xE2\x9C\x93 file"};
        default:
          return {nullptr, "\xE2\x9C\x93 id"};
      }
    case Status::kReplacement:
      return {nullptr, "\xE2\x86\xBB replacement"};
    case Status::kUnchecked:
      return {"u", "? unchecked"};
    case Status::kOtherFormat:
      return {"o", "\xE2\x89\xA0 other format"};
    case Status::kMissing:
      return {"x", "\xE2\x9C\x97 missing"};
    case Status::kOlder:
      return {"o", "\xE2\x96\xBC older"};
  }
  return {"x", "\xE2\x9C\x97 missing"};
}

void appendCell(const Mark& mark, std::string& html) {
  html += mark.cls == nullptr ? "<td>" : std::string("<td class=") + mark.cls + ">";
  html += mark.text;
}

// What the room holds in place of a reference: the plug-in that replaces
// it, the other technology, or the older version.
void appendInstalled(const fleet::Machine& room, const Match& match, std::string& html) {
  if (match.install == Match::kNoInstall ||
      (match.status != Status::kOtherFormat && match.status != Status::kOlder &&
       match.status != Status::kReplacement))
    return;
  const inventory::PluginEntry& entry = room.inventory[match.install];
  html += "<small>";
  if (match.status == Status::kReplacement) {
    appendEscaped(html, entry.name);
    html += ' ';
  }
  if (match.status == Status::kOtherFormat) {
    appendEscaped(html, entry.technology);
    html += ' ';
  }
  appendEscaped(html,
                entry.version.empty() ? std::string_view("no version") : entry.version);
  html += " installed</small>";
}

void appendReference(const Answer& answer, std::size_t p, std::size_t r,
                     std::string& html) {
  const daw::Reference& reference = answer.projects[p].references[r];
  html += "<tr><th>";
  appendEscaped(html, reference.name.empty() ? std::string_view("?") : reference.name);
  html += "<small>";
  appendEscaped(html, reference.vendor);
  html += reference.vendor.empty() ? "" : " \xC2\xB7 ";
  appendEscaped(html, reference.technology);
  if (!reference.version.empty()) {
    html += " ";
    appendEscaped(html, reference.version);
  }
  if (reference.instances != 1)
    html += " \xC3\x97" + std::to_string(reference.instances);
  html += "</small>";
  for (std::size_t room = 0; !answer.isListing() && room < answer.rooms.size(); ++room) {
    const Match& match = answer.check->match(p, r, room);
    appendCell(markOf(match), html);
    appendInstalled(answer.rooms[room], match, html);
  }
  html += '\n';
}

// The project's cell of a room: "opens", or how many references the room
// lacks of each kind.
void appendRoomCell(const Answer& answer, std::size_t p, std::size_t room,
                    std::string& html) {
  const Project& project = answer.projects[p];
  if (!project.complete) {
    html += "<span class=k>\xE2\x9A\xA0 not read whole</span>";
    return;
  }
  std::size_t missing = 0, other = 0, older = 0, unchecked = 0;
  for (std::size_t r = 0; r < project.references.size(); ++r) {
    const Status status = answer.check->match(p, r, room).status;
    missing += status == Status::kMissing;
    other += status == Status::kOtherFormat;
    older += status == Status::kOlder;
    unchecked += status == Status::kUnchecked;
  }
  const bool opensThere = answer.check->opens(p, room);
  html += opensThere ? "<span class=y>\xE2\x9C\x93 opens" : "<span class=x>";
  const std::pair<std::size_t, const char*> counts[] = {
      {missing, "\xE2\x9C\x97 "},
      {other, "\xE2\x89\xA0 "},
      {older, "\xE2\x96\xBC "},
      {unchecked, "? "},
  };
  const char* const words[] = {" missing", " other format", " older", " unchecked"};
  bool first = !opensThere;
  for (std::size_t k = 0; k < 4; ++k) {
    if (counts[k].first == 0)
      continue;
    html += first ? "" : "<small>";
    html.append(counts[k].second)
        .append(std::to_string(counts[k].first))
        .append(words[k]);
    html += first ? "" : "</small>";
    first = false;
  }
  html += "</span>";
}

void appendProject(const Answer& answer, std::size_t p, std::string& html) {
  const Project& project = answer.projects[p];
  const bool everywhere = answer.isListing() || answer.check->opensEverywhere(p);
  html += everywhere ? "<details class=p><summary><span>"
                     : "<details class=\"p l\"><summary><span>";
  appendEscaped(html, project.path);
  html += "<small>";
  appendEscaped(html, project.format.empty() ? std::string_view("unknown format")
                                             : std::string_view(project.format));
  html += project.complete ? "" : ", not read whole";
  html += "</small></span>";
  for (std::size_t room = 0; !answer.isListing() && room < answer.rooms.size(); ++room)
    appendRoomCell(answer, p, room, html);
  html += "</summary>\n";
  if (project.references.empty()) {
    html += "<p>Uses no plug-in.</p></details>\n";
    return;
  }
  html += "<table><tbody>\n";
  for (std::size_t r = 0; r < project.references.size(); ++r)
    appendReference(answer, p, r, html);
  html += "</tbody></table></details>\n";
}

// The rules that depend on the number of rooms: every row as wide as the
// matrix, its columns those of the header. In a window too narrow for the
// path column and a room beside it, the path scrolls away with the rooms
// rather than hide them behind it.
std::string roomStyle(const common::MatrixColumns& matrix) {
  const std::string width = std::to_string(matrix.width()) + "em";
  return common::matrixStyle(matrix) + common::keyOffsets(matrix) +
         "#matrix summary{width:" + width +
         ";grid-template-columns:" + std::to_string(kPathWidth) + "em repeat(" +
         std::to_string(matrix.columns) + "," + std::to_string(kRoomWidth) +
         "em)}\n#matrix details table{table-layout:fixed;width:" + width +
         "}\n#matrix details th{width:" + std::to_string(kPathWidth) +
         "em}\n#matrix details td{width:" + std::to_string(kRoomWidth) +
         "em}\n@media (max-width:32em){#matrix summary>:first-child,"
         "#matrix tr>:first-child{position:static}}\n";
}

void appendCounts(const Answer& answer, std::string& html) {
  html += "<p class=counts>";
  const std::size_t projects = answer.projects.size();
  const char* separator = "<b>";
  const auto count = [&](std::size_t n, const char* one, const char* many) {
    html.append(std::exchange(separator, " \xC2\xB7 <b>"))
        .append(std::to_string(n))
        .append(n == 1 ? one : many)
        .append("</b>");
  };
  count(projects, " project", " projects");
  if (!answer.isListing()) {
    const Check::Summary& s = answer.check->summary();
    count(s.rooms, " room", " rooms");
    count(s.openEverywhere, " opens everywhere", " open everywhere");
    count(s.lacking, " lacks plug-ins somewhere", " lack plug-ins somewhere");
    count(s.unreadable, " could not be read", " could not be read");
    count(s.unchecked, " reference unchecked", " references unchecked");
  }
  html += "<b id=shown></b></p>\n";
}

const char* const kControls =
    "<div id=controls hidden>\n<label>Project <input type=search id=path "
    "placeholder=\"path\"></label>\n<label>Plug-in <input type=search id=plugin "
    "placeholder=\"vendor or name\"></label>\n<label><input type=checkbox id=lacking> "
    "only what lacks plug-ins</label>\n</div>\n";

void appendMatrixHead(const Answer& answer, const common::MatrixColumns& matrix,
                      std::string& html) {
  html += "<div class=wrap id=matrix>\n<div class=head>" +
          common::matrixTableStart(matrix) + "<thead><tr><th>Project";
  for (std::size_t room = 0; room < matrix.columns; ++room) {
    const fleet::Machine& machine = answer.rooms[room];
    html += machine.complete ? "<th>" : "<th class=i>";
    appendEscaped(html, machine.name);
    if (!machine.complete)
      html += "<small>\xE2\x9A\xA0 incomplete</small>";
    std::size_t opening = 0;
    for (std::size_t p = 0; p < answer.projects.size(); ++p)
      opening += answer.check->opens(p, room);
    html += "<small>opens " + std::to_string(opening) + " of " +
            std::to_string(answer.projects.size()) + "</small>";
  }
  html += "</thead>\n</table></div>\n";
}

// One room's table of what to install, or the line that says it needs
// nothing.
void appendToInstall(const Answer& answer, std::size_t room, std::string& html) {
  const fleet::Machine& machine = answer.rooms[room];
  html += "<h3>";
  appendEscaped(html, machine.name);
  if (!machine.path.empty()) {
    html += " <small>";
    appendEscaped(html, machine.path);
    html += "</small>";
  }
  html += "</h3>\n";
  const std::vector<Need> needs = toInstall(answer, room);
  if (needs.empty()) {
    html += "<p>Nothing to install.</p>\n";
    return;
  }
  html +=
      "<table class=install>\n<thead><tr><th>Vendor<th>Plug-in<th>Technology<th>Projects"
      "<th>In the room</thead>\n<tbody>\n";
  for (const Need& need : needs) {
    const daw::Reference& reference =
        answer.projects[need.project].references[need.reference];
    const Match& match = answer.check->match(need.project, need.reference, room);
    html += "<tr><td>";
    appendEscaped(html, reference.vendor);
    html += "<td>";
    appendEscaped(html, reference.name);
    html += "<td>";
    appendEscaped(html, reference.technology);
    html += "<td>" + std::to_string(need.projects);
    appendCell(markOf(match), html);
    appendInstalled(machine, match, html);
    html += '\n';
  }
  html += "</tbody>\n</table>\n";
}

}  // namespace

void writeHtml(const Answer& answer, std::ostream& out) {
  const std::size_t rooms = answer.isListing() ? 0 : answer.rooms.size();
  const common::MatrixColumns matrix{{kPathWidth}, rooms, kRoomWidth};
  const std::string title =
      "Projects against " + std::to_string(rooms) + (rooms == 1 ? " room" : " rooms");
  std::string html = common::pageStart(title, kStyle + roomStyle(matrix));
  appendCounts(answer, html);
  html += kControls;
  appendMatrixHead(answer, matrix, html);
  for (std::size_t p = 0; p < answer.projects.size(); ++p) {
    if (p % kBlockRows == 0)
      html += p > 0 ? "</div>\n<div class=rows>\n" : "<div class=rows>\n";
    appendProject(answer, p, html);
    if (html.size() > (1u << 16)) {
      out << html;
      html.clear();
    }
  }
  if (!answer.projects.empty())
    html += "</div>\n";
  html += "</div>\n";
  html += kLegend;
  html += "<h2>To install</h2>\n";
  for (std::size_t room = 0; room < rooms; ++room)
    appendToInstall(answer, room, html);
  html += common::filterScript(kScript);
  html += "</body>\n</html>\n";
  out << html;
  out.flush();
}

}  // namespace vernatto::project
