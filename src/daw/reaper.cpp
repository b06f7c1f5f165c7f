// REAPER's .rpp: nested blocks, one per line opened by `<TAG` and closed by
// a line holding `>`. The plug-ins are the `<VST`, `<AU`, `<CLAP`, `<LV2`
// and `<JS` blocks of the effect chains and of the containers inside them.
#include <charconv>
#include <cstdint>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "daw/line_reader.h"
#include "daw/readers.h"
#include "daw/stored_text.h"
#include "inventory/plugin_id.h"

namespace vernatto::daw {
namespace {

// Plug-in lines are short; longer lines are state, kept only in part.
constexpr std::size_t kMaxLine = 4096;
// Far more plug-ins than any project uses: a file with more is hostile, and
// memory would grow with it.
constexpr std::size_t kMaxPlugins = 10000;
// REAPER nests containers a few levels deep; a deeper file is hostile.
constexpr std::size_t kMaxDepth = 512;

enum class Block : std::uint8_t {
  kOther,
  kChain,      // an effect chain, whose plug-in blocks count
  kContainer,  // a container inside a chain, whose plug-in blocks count too
  kCopy,       // inside <EXTENSIONS>: saved copies, not the project's
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) {
      return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    };
    if (lower(a[i]) != lower(b[i]))
      return false;
  }
  return true;
}

// The fields of a line: separated by white space, each either bare or
// quoted with ", ' or ` (REAPER picks a quote the text does not hold).
std::vector<std::string_view> fieldsOf(std::string_view text, std::size_t most) {
  std::vector<std::string_view> fields;
  for (text = trimBlanks(text); !text.empty() && fields.size() < most;
       text = trimBlanks(text)) {
    const char quote = text.front();
    if (quote == '"' || quote == '\'' || quote == '`') {
      const std::size_t end = text.find(quote, 1);
      fields.push_back(text.substr(1, end == std::string_view::npos ? end : end - 1));
      text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    } else {
      const std::size_t end = text.find_first_of(" \t");
      fields.push_back(text.substr(0, end));
      text = end == std::string_view::npos ? std::string_view() : text.substr(end);
    }
  }
  return fields;
}

std::string_view field(const std::vector<std::string_view>& fields, std::size_t i) {
  return i < fields.size() ? fields[i] : std::string_view();
}

std::size_t digitsAt(std::string_view text, std::size_t at) {
  std::size_t end = at;
  while (end < text.size() && text[end] >= '0' && text[end] <= '9')
    ++end;
  return end - at;
}

// Whether a parenthesised group tells channels or architecture, not a
// vendor: "8 out", "2->8ch", "64ch", "mono", "x86", "x64".
bool describesChannels(std::string_view group) {
  group = trimBlanks(group);
  if (equalsIgnoringCase(group, "mono") || equalsIgnoringCase(group, "x86") ||
      equalsIgnoringCase(group, "x64"))
    return true;
  std::size_t at = digitsAt(group, 0);
  if (at == 0)
    return false;
  if (group.substr(at, 2) == "->") {
    const std::size_t more = digitsAt(group, at + 2);
    if (more == 0)
      return false;
    at += 2 + more;
  }
  const std::string_view unit = trimBlanks(group.substr(at));
  return equalsIgnoringCase(unit, "ch") ||
         (at == digitsAt(group, 0) && equalsIgnoringCase(unit, "out"));
}

// Where the parenthesised group that ends `text` opens, or npos.
std::size_t lastGroup(std::string_view text) {
  if (text.empty() || text.back() != ')')
    return std::string_view::npos;
  std::size_t depth = 0;
  for (std::size_t i = text.size(); i-- > 0;) {
    if (text[i] == ')')
      ++depth;
    else if (text[i] == '(' && --depth == 0)
      return i;
  }
  return std::string_view::npos;
}

// "Name (Vendor) (8 out)" as REAPER shows a plug-in.
void splitNameAndVendor(std::string_view text, Reference& reference) {
  text = trimBlanks(text);
  for (std::size_t open = lastGroup(text); open != std::string_view::npos;
       open = lastGroup(text)) {
    const std::string_view group = text.substr(open + 1, text.size() - open - 2);
    if (!describesChannels(group)) {
      reference.vendor = std::string(group);
      reference.name = std::string(trimBlanks(text.substr(0, open)));
      return;
    }
    text = trimBlanks(text.substr(0, open));
  }
  reference.name = std::string(text);
}

// A VST2 id: the unique id in decimal, then in newer projects `<32 hex>`,
// whose VST-form digits say it again and win.
std::string vst2IdOf(std::string_view text) {
  const std::size_t sign = !text.empty() && text.front() == '-' ? 1 : 0;
  const std::size_t digits = digitsAt(text, sign);
  const std::string_view rest = text.substr(sign + digits);
  if (rest.size() > 2 && rest.front() == '<' && rest.back() == '>') {
    std::string id = inventory::vst2IdFromVst3Form(rest.substr(1, rest.size() - 2));
    if (!id.empty())
      return id;
  }
  std::int64_t value = 0;
  const char* begin = text.data();
  const auto [end, error] = std::from_chars(begin, begin + sign + digits, value);
  if (digits == 0 || digits > 10 || error != std::errc() || value < INT32_MIN ||
      value > INT64_C(0xFFFFFFFF) || end != begin + sign + digits)
    return {};
  return inventory::vst2Id(value);
}

// A VST3 id: a decimal, then the class id in braces.
std::string vst3IdOf(std::string_view text) {
  const std::size_t brace = text.find('{');
  return brace == std::string_view::npos ? std::string()
                                         : inventory::vst3IdFromText(text.substr(brace));
}

struct Kind {
  std::string_view tag;
  std::string_view prefix;  // of the first field, before ':'
  std::string_view technology;
};

constexpr Kind kKinds[] = {
    {"VST", "VST", "VST2"},   {"VST", "VSTi", "VST2"},   {"VST", "VST3", "VST3"},
    {"VST", "VST3i", "VST3"}, {"AU", "AU", "AU"},        {"AU", "AUi", "AU"},
    {"CLAP", "CLAP", "CLAP"}, {"CLAP", "CLAPi", "CLAP"}, {"LV2", "LV2", "LV2"},
    {"LV2", "LV2i", "LV2"},
};

bool isPluginTag(std::string_view tag) {
  return tag == "VST" || tag == "AU" || tag == "CLAP" || tag == "LV2" || tag == "JS";
}

// Reads one plug-in block's opening line; `fields[0]` is its tag.
void readPlugin(const std::vector<std::string_view>& fields, std::uint64_t line,
                ProjectReading& reading) {
  const std::string_view tag = fields[0];
  Reference reference;
  if (tag == "JS") {
    reference.technology = "JS";
    reference.name = std::string(field(fields, 1));
    reference.host = true;
    reading.add(std::move(reference));
    return;
  }
  const std::string_view shown = field(fields, 1);
  const std::string_view prefix = shown.substr(0, shown.find(':'));
  if (prefix == "DX" || prefix == "DXi")
    return;  // DirectX effects are Windows' own, outside every inventory
  for (const Kind& kind : kKinds) {
    if (kind.tag == tag && kind.prefix == prefix && prefix.size() < shown.size())
      reference.technology = std::string(kind.technology);
  }
  if (reference.technology.empty()) {
    reading.fail("line " + std::to_string(line) + ": a plug-in of a kind not known (" +
                 std::string(tag) + " \"" + std::string(prefix.substr(0, 40)) + "\")");
    return;
  }
  const std::string_view rest = shown.substr(prefix.size() + 1);
  if (tag == "AU") {
    const std::string_view makerAndName = field(fields, 2);
    const std::size_t colon = makerAndName.find(": ");
    if (colon == std::string_view::npos) {
      reference.name = std::string(makerAndName);
    } else {
      reference.vendor = std::string(makerAndName.substr(0, colon));
      reference.name = std::string(makerAndName.substr(colon + 2));
    }
    reference.id = inventory::audioUnitIdFromCodes(field(fields, 4), field(fields, 5),
                                                   field(fields, 6));
  } else {
    splitNameAndVendor(rest, reference);
    if (tag == "VST") {
      reference.file = fileOfPath(field(fields, 2));
      reference.id = reference.technology == "VST2" ? vst2IdOf(field(fields, 5))
                                                    : vst3IdOf(field(fields, 5));
    } else {
      reference.id = std::string(field(fields, 2));  // the CLAP id or the LV2 URI
    }
  }
  reference.host = equalsIgnoringCase(trimBlanks(reference.vendor), "Cockos");
  reading.add(std::move(reference));
}

Block kindOf(std::string_view tag, const std::vector<Block>& open) {
  const Block parent = open.empty() ? Block::kOther : open.back();
  if (parent == Block::kCopy || tag == "EXTENSIONS")
    return Block::kCopy;
  if (tag == "FXCHAIN" || tag == "FXCHAIN_REC" || tag == "MASTERFXLIST" ||
      tag == "TAKEFX")
    return Block::kChain;
  if (tag == "CONTAINER" && (parent == Block::kChain || parent == Block::kContainer))
    return Block::kContainer;
  return Block::kOther;
}

std::string at(const LineReader& lines) {
  return "line " + std::to_string(lines.number()) + ": ";
}

}  // namespace

void readReaper(std::istream& in, ProjectReading& reading) {
  LineReader lines(in, kMaxLine);
  std::vector<Block> open;
  bool begun = false;
  std::string_view text;
  while (lines.next(text)) {
    std::string_view line = trimBlanks(text);
    if (!begun && line.substr(0, 3) == "\xEF\xBB\xBF")
      line = trimBlanks(line.substr(3));
    if (line.empty())
      continue;
    if (!begun) {
      if (line.front() != '<' ||
          field(fieldsOf(line.substr(1), 1), 0) != "REAPER_PROJECT")
        return reading.fail("not a REAPER project: it does not begin <REAPER_PROJECT");
      begun = true;
      open.push_back(Block::kOther);
      continue;
    }
    if (open.empty())
      return reading.fail(at(lines) + "text after the end of the project");
    if (line.front() == '>') {
      open.pop_back();
      continue;
    }
    if (line.front() != '<')
      continue;
    const std::vector<std::string_view> fields = fieldsOf(line.substr(1), 7);
    const std::string_view tag = field(fields, 0);
    const bool counts = open.back() == Block::kChain || open.back() == Block::kContainer;
    if (counts && isPluginTag(tag)) {
      if (reading.references.size() == kMaxPlugins)
        return reading.fail(at(lines) + "more than " + std::to_string(kMaxPlugins) +
                            " different plug-ins");
      if (lines.longer())
        reading.fail(at(lines) + "a plug-in line longer than " +
                     std::to_string(kMaxLine) + " bytes");
      else
        readPlugin(fields, lines.number(), reading);
    }
    if (open.size() == kMaxDepth)
      return reading.fail(at(lines) + "blocks nested more than " +
                          std::to_string(kMaxDepth) + " deep");
    open.push_back(kindOf(tag, open));
  }
  if (lines.failed())
    reading.fail("the file could not be read to its end");
  else if (!begun)
    reading.fail("not a REAPER project: it is empty");
  else if (!open.empty())
    reading.fail("cut off: the file ends inside " + std::to_string(open.size()) +
                 " open blocks");
}

}  // namespace vernatto::daw
