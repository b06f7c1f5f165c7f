#include "scan/pe_version.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "scan/bytes.h"

namespace vernatto::scan {
namespace {

constexpr std::uint32_t kFixedInfoSignature = 0xFEEF04BD;

// One node of the version tree: a length, a key in UTF-16, a value and
// children, each part starting on a four-byte boundary.
struct Block {
  std::string key;  // UTF-8
  std::size_t valueAt = 0;
  std::size_t valueEnd = 0;
  std::size_t childrenAt = 0;
  std::size_t end = 0;
};

struct Table {
  std::string name;  // language and code page in upper-case hex, "040904B0"
  std::map<std::string, std::string> strings;
};

std::size_t align4(std::size_t at) {
  return (at + 3) & ~std::size_t{3};
}

void appendUtf8(std::string& out, std::uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | c >> 6);
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | c >> 12);
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | c >> 18);
    out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Converts the UTF-16 text at [at, end) up to its first NUL; `stop` is set
// to the index after that NUL, or to `end` when there is none. A surrogate
// without its partner becomes U+FFFD.
std::string utf8(const std::string& bytes, std::size_t at, std::size_t end,
                 std::size_t* stop = nullptr) {
  std::string out;
  std::size_t i = at;
  for (; i + 2 <= end; i += 2) {
    std::uint32_t c = load16(bytes, i);
    if (c == 0)
      break;
    const std::uint32_t next = i + 4 <= end ? load16(bytes, i + 2) : 0;
    if (c >= 0xD800 && c < 0xDC00 && next >= 0xDC00 && next < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (next - 0xDC00);
      i += 2;
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;
    }
    appendUtf8(out, c);
  }
  if (stop != nullptr)
    *stop = i + 2 <= end ? i + 2 : end;
  return out;
}

// Reads the block at `at`, which must lie within [at, limit).
bool parseBlock(const std::string& bytes, std::size_t at, std::size_t limit,
                Block& block) {
  const std::size_t length = load16(bytes, at);
  if (at >= limit || limit - at < 6 || length < 6 || length > limit - at)
    return false;
  block.end = at + length;
  const bool text = load16(bytes, at + 4) == 1;
  const std::size_t valueLength = std::size_t{load16(bytes, at + 2)} * (text ? 2 : 1);
  std::size_t keyEnd = 0;
  block.key = utf8(bytes, at + 6, block.end, &keyEnd);
  block.valueAt = std::min(align4(keyEnd), block.end);
  // Writers disagree on whether a text's length counts bytes or characters,
  // so a text runs to its NUL; only a binary value keeps its stated length.
  block.valueEnd = text ? block.end : std::min(block.valueAt + valueLength, block.end);
  block.childrenAt = std::min(align4(block.valueAt + valueLength), block.end);
  return true;
}

void forEachChild(const std::string& bytes, const Block& parent,
                  const std::function<void(const Block&)>& visit) {
  Block child;
  for (std::size_t at = parent.childrenAt;
       at < parent.end && parseBlock(bytes, at, parent.end, child);
       at = align4(child.end))
    visit(child);
}

std::string upper(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string hexTranslation(std::uint16_t language, std::uint16_t codePage) {
  char name[9];
  std::snprintf(name, sizeof name, "%04X%04X", unsigned{language}, unsigned{codePage});
  return name;
}

void readStrings(const std::string& bytes, const Block& fileInfo,
                 std::vector<Table>& tables) {
  forEachChild(bytes, fileInfo, [&](const Block& tableBlock) {
    Table table{upper(tableBlock.key), {}};
    forEachChild(bytes, tableBlock, [&](const Block& entry) {
      table.strings[entry.key] = utf8(bytes, entry.valueAt, entry.valueEnd);
    });
    tables.push_back(std::move(table));
  });
}

void readTranslations(const std::string& bytes, const Block& fileInfo,
                      std::vector<std::string>& names) {
  forEachChild(bytes, fileInfo, [&](const Block& var) {
    if (var.key != "Translation")
      return;
    for (std::size_t at = var.valueAt; at + 4 <= var.valueEnd; at += 4)
      names.push_back(hexTranslation(load16(bytes, at), load16(bytes, at + 2)));
  });
}

const Table* chooseTable(const std::vector<Table>& tables,
                         const std::vector<std::string>& translations) {
  auto named = [&](auto match) {
    const auto it = std::find_if(tables.begin(), tables.end(), match);
    return it == tables.end() ? nullptr : &*it;
  };
  const Table* table = nullptr;
  for (std::size_t i = 0; table == nullptr && i < translations.size(); ++i)
    table = named([&](const Table& t) { return t.name == translations[i]; });
  if (table == nullptr)
    table = named([](const Table& t) { return t.name.compare(0, 4, "0409") == 0; });
  return table != nullptr || tables.empty() ? table : &tables.front();
}

std::string fixedVersion(const std::string& bytes, const Block& root) {
  if (root.valueEnd - root.valueAt < 52 ||
      load32(bytes, root.valueAt) != kFixedInfoSignature)
    return {};
  const std::uint32_t high = load32(bytes, root.valueAt + 8);
  const std::uint32_t low = load32(bytes, root.valueAt + 12);
  return std::to_string(high >> 16) + "." + std::to_string(high & 0xFFFF) + "." +
         std::to_string(low >> 16) + "." + std::to_string(low & 0xFFFF);
}

}  // namespace

bool parseVersionInfo(const std::string& bytes, PeVersion& version) {
  Block root;
  if (!parseBlock(bytes, 0, bytes.size(), root) || root.key != "VS_VERSION_INFO")
    return false;
  std::vector<Table> tables;
  std::vector<std::string> translations;
  forEachChild(bytes, root, [&](const Block& child) {
    if (child.key == "StringFileInfo")
      readStrings(bytes, child, tables);
    else if (child.key == "VarFileInfo")
      readTranslations(bytes, child, translations);
  });
  version = PeVersion{};
  version.fixedFileVersion = fixedVersion(bytes, root);
  if (const Table* table = chooseTable(tables, translations)) {
    auto text = [&](const char* key) {
      const auto it = table->strings.find(key);
      return it == table->strings.end() ? std::string() : it->second;
    };
    version.companyName = text("CompanyName");
    version.productName = text("ProductName");
    version.fileDescription = text("FileDescription");
    version.productVersion = text("ProductVersion");
    version.fileVersion = text("FileVersion");
  }
  return true;
}

std::string normaliseVersion(std::string_view version) {
  const std::size_t first = version.find_first_not_of(" \t\r\n");
  if (first == std::string_view::npos)
    return {};
  version = version.substr(first, version.find_last_not_of(" \t\r\n") - first + 1);
  std::string dotted;
  bool digitsOnly = true;
  for (std::size_t start = 0; start <= version.size();) {
    std::size_t end = std::min(version.find(',', start), version.size());
    std::string_view part = version.substr(start, end - start);
    part.remove_prefix(std::min(part.find_first_not_of(' '), part.size()));
    part.remove_suffix(part.size() -
                       std::min(part.find_last_not_of(' ') + 1, part.size()));
    digitsOnly = digitsOnly && !part.empty() &&
                 std::all_of(part.begin(), part.end(),
                             [](char c) { return c >= '0' && c <= '9'; });
    dotted += (start == 0 ? "" : ".") + std::string(part);
    start = end + 1;
  }
  return digitsOnly ? dotted : std::string(version);
}

}  // namespace vernatto::scan
