#include "daw/format.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "daw/readers.h"
#include "daw/zip.h"

namespace vernatto::daw {
namespace {

// Enough of a file's beginning to pass an XML prolog (declaration, comments,
// a document type) and reach the root element.
constexpr std::size_t kHeadSize = 64 * 1024;
constexpr std::string_view kBom = "\xEF\xBB\xBF";

struct Reader {
  std::string_view format;
  void (*read)(std::istream&, ProjectReading&);
};

constexpr std::array<Reader, 9> kReaders{{{"reaper", readReaper},
                                          {"live", readLive},
                                          {"dawproject", readDawproject},
                                          {"ardour", readArdour},
                                          {"carla", readCarla},
                                          {"lmms", readLmms},
                                          {"studio-one", readStudioOne},
                                          {"cubase", readCubase},
                                          {"pro-tools-text", readProToolsText}}};

std::string readHead(std::istream& in) {
  std::string head(kHeadSize, '\0');
  in.clear();
  in.seekg(0);
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  in.clear();
  in.seekg(0);
  return head;
}

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

std::string_view withoutBom(std::string_view text) {
  return startsWith(text, kBom) ? text.substr(kBom.size()) : text;
}

void skipSpace(std::string_view& text) {
  const std::size_t at = text.find_first_not_of(" \t\r\n");
  text.remove_prefix(at == std::string_view::npos ? text.size() : at);
}

// Drops `text` up to and including `end`; false when `end` never comes.
bool skipPast(std::string_view& text, std::string_view end) {
  const std::size_t at = text.find(end);
  if (at == std::string_view::npos)
    return false;
  text.remove_prefix(at + end.size());
  return true;
}

// The root element's name: what follows the declaration, comments,
// processing instructions and a document type; empty when none is in `text`.
std::string_view xmlRoot(std::string_view text) {
  text = withoutBom(text);
  for (;;) {
    skipSpace(text);
    bool skipped = true;
    if (startsWith(text, "<?"))
      skipped = skipPast(text, "?>");
    else if (startsWith(text, "<!--"))
      skipped = skipPast(text, "-->");
    else if (startsWith(text, "<!DOCTYPE")) {
      const std::size_t subset = text.find_first_of("[>");
      skipped = subset != std::string_view::npos &&
                (text[subset] == '>' || skipPast(text, "]")) && skipPast(text, ">");
    } else
      break;
    if (!skipped)
      return {};
  }
  if (!startsWith(text, "<"))
    return {};
  text.remove_prefix(1);
  return text.substr(0, text.find_first_of(" \t\r\n/>"));
}

std::string_view formatOfXmlRoot(std::string_view root) {
  constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kRoots{{
      {"Ableton", "live"},
      {"Session", "ardour"},
      {"CARLA-PROJECT", "carla"},
      {"lmms-project", "lmms"},
      {"multimedia-project", "lmms"},  // LMMS before 1.0
      {"Project", "dawproject"},
  }};
  for (const auto& [element, format] : kRoots)
    if (root == element)
      return format;
  return {};
}

// LMMS's compressed projects: a 4-byte big-endian length, then a zlib stream
// whose header (deflate, a check that divides by 31, no dictionary) is here.
bool looksLikeLengthAndZlib(std::string_view head) {
  if (head.size() < 6)
    return false;
  const auto cmf = static_cast<unsigned char>(head[4]);
  const auto flg = static_cast<unsigned char>(head[5]);
  return (cmf & 0x0F) == Z_DEFLATED && (cmf >> 4) <= 7 && (cmf * 256 + flg) % 31 == 0 &&
         (flg & 0x20) == 0;
}

// The first bytes the zlib stream in `head` inflates to, for its root.
std::string inflatedHead(std::string_view head) {
  std::string out(kHeadSize, '\0');
  z_stream z{};
  if (inflateInit(&z) != Z_OK)
    return {};
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(head.data() + 4));
  z.avail_in = static_cast<uInt>(head.size() - 4);
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  inflate(&z, Z_SYNC_FLUSH);  // what came out before any fault is still told
  out.resize(out.size() - z.avail_out);
  inflateEnd(&z);
  return out;
}

std::string_view formatOfZip(std::istream& in) {
  ZipArchive zip(in);
  if (zip.has("project.xml"))
    return "dawproject";
  if (zip.has("metainfo.xml") || zip.hasMemberUnder("Devices/"))
    return "studio-one";
  return {};
}

bool endsWithIgnoringCase(std::string_view text, std::string_view ending) {
  return text.size() >= ending.size() &&
         std::equal(
             ending.begin(), ending.end(), text.end() - ending.size(),
             [](char a, char b) { return a == (b >= 'A' && b <= 'Z' ? b + 32 : b); });
}

}  // namespace

std::string_view formatOf(std::istream& in) {
  return formatOf(in, {});
}

std::string_view formatOf(std::istream& in, std::string_view fileName) {
  const std::string head = readHead(in);
  const auto named = [&](std::string_view ending) {
    return endsWithIgnoringCase(fileName, ending);
  };
  std::string_view format;
  if (startsWith(head, "\x1F\x8B"))
    format = "live";
  else if (looksLikeZip(in)) {
    format = formatOfZip(in);
    if (format.empty())
      format = named(".dawproject") ? "dawproject" : named(".song") ? "studio-one" : "";
  } else if (startsWith(head, "RIFF")) {
    if ((head.size() >= 12 && head.compare(8, 4, "NUND") == 0) || named(".cpr") ||
        named(".npr"))
      format = "cubase";
  } else if (looksLikeLengthAndZlib(head)) {
    if (formatOfXmlRoot(xmlRoot(inflatedHead(head))) == "lmms" || named(".mmpz"))
      format = "lmms";
  } else {
    std::string_view text = withoutBom(head);
    if (startsWith(text, "SESSION NAME:"))
      format = "pro-tools-text";
    skipSpace(text);
    if (startsWith(text, "<REAPER_PROJECT"))
      format = "reaper";
    else if (format.empty())
      format = formatOfXmlRoot(xmlRoot(head));
  }
  in.clear();
  in.seekg(0);
  return format;
}

void readProject(std::istream& in, std::string_view format, ProjectReading& reading) {
  for (const Reader& reader : kReaders)
    if (reader.format == format && !format.empty()) {
      in.clear();
      in.seekg(0);
      reader.read(in, reading);
      return;
    }
  reading.fail("not a project of any format read");
}

}  // namespace vernatto::daw
