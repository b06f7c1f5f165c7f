// The text a session exports as its "session info": its plug-ins listing,
// a heading row and then one TAB-separated row per plug-in and channel
// format, up to an empty line. Its encoding is known only once every byte
// has been seen, so the rows are kept as read and decoded at the end.
#include <cstdint>
#include <cstring>
#include <istream>
#include <string>
#include <string_view>
#include <vector>

#include "daw/line_reader.h"
#include "daw/readers.h"

namespace vernatto::daw {
namespace {

constexpr std::size_t kMaxLine = 4096;
constexpr std::size_t kMaxRows = 100000;
constexpr std::string_view kListing = "P L U G - I N S  L I S T I N G";
constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Mac Roman's upper half.
constexpr char16_t kMacRoman[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2,
    0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC,
    0x00EE, 0x00EF, 0x00F1, 0x00F3, 0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9,
    0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF,
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1,
    0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248,
    0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153,
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178,
    0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A, 0x201E,
    0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC,
    0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7,
};

// What every byte of the file says about its encoding.
struct Tally {
  bool utf8 = true;
  bool c1 = false;  // a byte 0x80-0x9F, a control in Latin-1
  int pending = 0;  // continuation bytes a UTF-8 sequence still needs
  unsigned char low = 0x80;
  unsigned char high = 0xBF;

  void see(unsigned char b) {
    c1 = c1 || (b >= 0x80 && b <= 0x9F);
    if (pending > 0) {
      utf8 = utf8 && b >= low && b <= high;
      low = 0x80;
      high = 0xBF;
      --pending;
      return;
    }
    if (b < 0x80)
      return;
    // The first byte limits the second so that overlong forms, surrogates
    // and code points past U+10FFFF are not valid.
    if (b >= 0xC2 && b <= 0xDF) {
      pending = 1;
    } else if (b >= 0xE0 && b <= 0xEF) {
      pending = 2;
      low = b == 0xE0 ? 0xA0 : 0x80;
      high = b == 0xED ? 0x9F : 0xBF;
    } else if (b >= 0xF0 && b <= 0xF4) {
      pending = 3;
      low = b == 0xF0 ? 0x90 : 0x80;
      high = b == 0xF4 ? 0x8F : 0xBF;
    } else {
      utf8 = false;
    }
  }
  static void observe(void* context, std::string_view block) {
    Tally& tally = *static_cast<Tally*>(context);
    for (std::size_t i = 0; i < block.size();) {
      // Runs of ASCII, eight bytes at a time, say nothing.
      std::uint64_t word = 0;
      if (tally.pending == 0 && block.size() - i >= 8) {
        std::memcpy(&word, block.data() + i, 8);
        if ((word & UINT64_C(0x8080808080808080)) == 0) {
          i += 8;
          continue;
        }
      }
      tally.see(static_cast<unsigned char>(block[i++]));
    }
  }
};

void appendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string decoded(std::string_view bytes, const Tally& tally) {
  if (tally.utf8 && tally.pending == 0)
    return std::string(bytes);
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    appendUtf8(out, b >= 0x80 && tally.c1 ? kMacRoman[b - 0x80] : char32_t{b});
  }
  return out;
}

std::vector<std::string_view> cellsOf(std::string_view line) {
  std::vector<std::string_view> cells;
  for (std::size_t tab = line.find('\t');; tab = line.find('\t')) {
    cells.push_back(trimBlanks(line.substr(0, tab)));
    if (tab == std::string_view::npos)
      return cells;
    line.remove_prefix(tab + 1);
  }
}

// The sum of every count in the cell ("2 active, 1 inactive"), saturating;
// false when it holds none.
bool countIn(std::string_view cell, std::uint64_t& sum) {
  bool any = false;
  sum = 0;
  for (std::size_t i = 0; i < cell.size();) {
    if (cell[i] < '0' || cell[i] > '9') {
      ++i;
      continue;
    }
    std::uint64_t count = 0;
    for (; i < cell.size() && cell[i] >= '0' && cell[i] <= '9'; ++i)
      count = count > (UINT64_MAX - 9) / 10 ? UINT64_MAX
                                            : count * 10 + std::uint64_t(cell[i] - '0');
    sum = count > UINT64_MAX - sum ? UINT64_MAX : sum + count;
    any = true;
  }
  return any;
}

struct Row {
  std::string maker, name, version;
  std::uint64_t instances = 0;
};

// The listing's columns, found by their headings; older exports have
// fewer of them.
struct Columns {
  static constexpr std::size_t kNone = SIZE_MAX;
  std::size_t maker = kNone, name = kNone, version = kNone, instances = kNone;
  std::size_t width = 0;

  bool read(const std::vector<std::string_view>& heading) {
    for (std::size_t i = 0; i < heading.size(); ++i) {
      std::size_t* column = heading[i] == "MANUFACTURER"          ? &maker
                            : heading[i] == "PLUG-IN NAME"        ? &name
                            : heading[i] == "VERSION"             ? &version
                            : heading[i] == "NUMBER OF INSTANCES" ? &instances
                                                                  : nullptr;
      if (column != nullptr && *column == kNone)
        *column = i;
    }
    width = heading.size();
    return maker != kNone && name != kNone && instances != kNone;
  }

  // The counts a row gives: its instances cell's and, when that is the last
  // column, those of every cell past the heading's width, where counts of
  // another state may spill over.
  bool count(const std::vector<std::string_view>& cells, std::uint64_t& sum) const {
    const std::size_t last = instances + 1 == width ? cells.size() : instances + 1;
    bool any = false;
    sum = 0;
    for (std::size_t i = instances; i < last && i < cells.size(); ++i) {
      std::uint64_t more = 0;
      if (countIn(cells[i], more)) {
        any = true;
        sum = more > UINT64_MAX - sum ? UINT64_MAX : sum + more;
      }
    }
    return any;
  }
};

class Listing {
 public:
  explicit Listing(ProjectReading& reading) : reading_(reading) {}

  // Reads one line of the listing; returns false at its end.
  bool read(std::string_view line, const LineReader& lines) {
    const std::string where = "line " + std::to_string(lines.number()) + ": ";
    if (trimBlanks(line).empty() || line.find('\t') == std::string_view::npos)
      return false;
    if (lines.longer()) {
      reading_.fail(where + "a plug-in row longer than " + std::to_string(kMaxLine) +
                    " bytes");
      return true;
    }
    const std::vector<std::string_view> cells = cellsOf(line);
    if (!headed_) {
      headed_ = true;
      if (columns_.read(cells))
        return true;
      reading_.fail(where + "the plug-ins listing's heading lacks a column it needs");
      return false;
    }
    const auto cell = [&](std::size_t i) {
      return i < cells.size() ? cells[i] : std::string_view();
    };
    Row row;
    if (!cell(columns_.maker).empty())
      maker_ = std::string(cell(columns_.maker));
    row.maker = maker_;
    row.name = std::string(cell(columns_.name));
    row.version = std::string(cell(columns_.version));
    if (row.name.empty() || !columns_.count(cells, row.instances)) {
      reading_.fail(where + "a plug-in row without a name or a count");
      return true;
    }
    if (rows_.size() == kMaxRows) {
      reading_.fail(where + "more than " + std::to_string(kMaxRows) + " plug-in rows");
      return false;
    }
    rows_.push_back(std::move(row));
    return true;
  }

  bool headed() const { return headed_; }

  void add(const Tally& tally) {
    for (const Row& row : rows_) {
      Reference reference;
      reference.technology = "AAX";
      reference.vendor = decoded(row.maker, tally);
      reference.name = decoded(row.name, tally);
      reference.version = decoded(row.version, tally);
      reference.instances = row.instances;
      reference.host = row.maker == "Avid";
      reading_.add(std::move(reference));
    }
  }

 private:
  ProjectReading& reading_;
  Columns columns_;
  bool headed_ = false;
  std::string maker_;  // a blank maker repeats the one above
  std::vector<Row> rows_;
};

}  // namespace

void readProToolsText(std::istream& in, ProjectReading& reading) {
  Tally tally;
  LineReader lines(in, kMaxLine);
  lines.observe(&Tally::observe, &tally);
  Listing listing(reading);
  enum { kStart, kBefore, kIn, kAfter } state = kStart;
  std::string_view line;
  while (lines.next(line)) {
    if (state == kStart) {
      if (line.substr(0, kBom.size()) == kBom)
        line.remove_prefix(kBom.size());
      if (line.substr(0, 13) != "SESSION NAME:")
        return reading.fail("not a session's text: it does not begin SESSION NAME:");
      state = kBefore;
    } else if (state == kBefore && trimBlanks(line) == kListing) {
      state = kIn;
    } else if (state == kIn && !listing.read(line, lines)) {
      state = kAfter;
    } else if (state == kIn && !lines.terminated()) {
      reading.fail("cut off in the plug-ins listing");
    }
  }
  listing.add(tally);
  if (lines.failed())
    reading.fail("the file could not be read to its end");
  else if (state == kStart)
    reading.fail("not a session's text: it is empty");
  else if (state == kBefore)
    reading.fail("no plug-ins listing: the session's text was exported without it");
  else if (state == kIn && !listing.headed())
    reading.fail("cut off before the plug-ins listing's heading");
}

}  // namespace vernatto::daw
