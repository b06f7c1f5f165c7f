// Writes deterministic plug-in inventories for the benchmarks:
//   generate_inventories [--pretty] COUNT FIRST.json SECOND.json [SEED]
//   generate_inventories --fleet MACHINES PLUGINS FOLDER [SEED]
// A pair: each file holds COUNT entries, one a line, or with --pretty one
// member a line with a two-space indent, as scanners often write them; the
// entries are the same either way. About 70% of the second file's entries
// name a plug-in of the first (some with another version or time), the rest
// are new; a few entries appear twice, some have no version, some names are
// not ASCII.
// A fleet: MACHINES files in FOLDER (room-001.json ...), laid out as the
// scanner writes them, of about PLUGINS entries each, drawn from one pool of
// plug-ins: most on every machine, some missing on some, a few rare; some
// with another version or time on some machines; a few installed twice, a
// few named in another case on some machines. Two files are cut short and a
// package.json that is no inventory lies beside them.
// Rooms (--rooms ROOMS PLUGINS CATALOGUE FOLDER [SEED]): inventories as the
// scanner writes them with ids and compatibility lists, holding most of the
// plug-ins of a project library's catalogue (generate_projects), some
// written otherwise, some replaced by a VST3 build, filled up with plug-ins
// no project uses.
// The same arguments give the same bytes on every platform: the generator uses
// its own arithmetic on a fixed 64-bit engine, never the library's
// distributions, whose results differ between standard libraries.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::vector<std::string> kVendors = {
    "Acoustica Labs",
    "Brightwave",
    "Cobalt Sound",
    "Driftline Audio",
    "Echoform",
    "Fluxtone",
    "Granite DSP",
    "Helix Audio Works",
    "Ionic",
    "Juniper Sound",
    "Kestrel",
    "Lumen Audio",
    "Monolith Instruments",
    "Northgate",
    "Orbital Devices",
    "Pinegrove",
    "Quasar Audio",
    "Redshift",
    "Saltmarsh",
    "Tidewater Labs",
    "Umbra",
    "Vantablack Audio",
    "Wavecraft",
    "Xenon Sound",
    "Yellowfin",
    "Zephyr DSP",
    "Klangwerk Z\xc3\xbcrich",
    "\xc3\x98lstad Audio",
    "L\xc3\xa4rmfabrik",
    "\xc3\x89"
    "cho Studio",
    "Son\xc3\xa9 Design",
    "\xe9\x9f\xb3\xe9\x9f\xbf\xe5\xb7\xa5\xe6\x88\xbf",
    "brightwave",
    "ACOUSTICA LABS"};

const std::vector<std::string> kWords = {"Pro",
                                         "Vintage",
                                         "Tape",
                                         "Space",
                                         "Shimmer",
                                         "Glue",
                                         "Bus",
                                         "Channel",
                                         "Vocal",
                                         "Drum",
                                         "Bass",
                                         "Analog",
                                         "Digital",
                                         "Spring",
                                         "Plate",
                                         "Room",
                                         "Hall",
                                         "Echo",
                                         "Delay",
                                         "Reverb",
                                         "Comp",
                                         "Limiter",
                                         "Gate",
                                         "EQ",
                                         "Filter",
                                         "Phaser",
                                         "Chorus",
                                         "Flanger",
                                         "Saturator",
                                         "Exciter",
                                         "Imager",
                                         "Meter",
                                         "Tuner",
                                         "Synth",
                                         "Keys",
                                         "Strings",
                                         "Brass",
                                         "Choir",
                                         "Pad",
                                         "Lead",
                                         "Mono",
                                         "Poly",
                                         "Grain",
                                         "Spectral",
                                         "Dynamic",
                                         "Linear",
                                         "Transient",
                                         "Clipper",
                                         "Rack",
                                         "Studio",
                                         "Tube",
                                         "Opto",
                                         "FET",
                                         "Console",
                                         "Mastering",
                                         "Mix",
                                         "D\xc3\xa9j\xc3\xa0",
                                         "Stra\xc3\x9f"
                                         "e",
                                         "Fr\xc3\xbchling",
                                         "\xc3\x85ngstr\xc3\xb6m"};

const std::vector<std::string> kTechnologies = {"VST3", "VST2", "AU", "AAX", "CLAP"};

struct Plugin {
  std::size_t vendor;
  std::string name;
  std::size_t technology;
};

struct Entry {
  Plugin plugin;
  std::string version;  // empty: no "version" member
  std::uint64_t modifiedTime;
  std::string path;  // empty: no "path" member
};

// Compact: one entry a line. Pretty: one member a line. Scanner: one member a
// line, in the order the scanner writes them, path included.
enum class Layout { kCompact, kPretty, kScanner };

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  std::uint64_t below(std::uint64_t bound) { return engine_() % bound; }
  bool chance(unsigned percent) { return below(100) < percent; }

 private:
  std::mt19937_64 engine_;
};

std::string makeName(Random& random, std::uint64_t serial) {
  std::string name = kWords[random.below(kWords.size())];
  if (random.chance(70)) {
    name += ' ';
    name += kWords[random.below(kWords.size())];
  }
  // The serial keeps names distinct, so the overlap stays near its target.
  name += ' ';
  name += std::to_string(serial);
  return name;
}

std::string makeVersion(Random& random) {
  if (random.chance(15))
    return std::string();
  return std::to_string(random.below(12)) + "." + std::to_string(random.below(30)) + "." +
         std::to_string(random.below(100));
}

Entry makeEntry(Random& random, std::uint64_t serial) {
  Plugin plugin{random.below(kVendors.size()), makeName(random, serial),
                random.below(kTechnologies.size())};
  return {plugin, makeVersion(random), 1500000000 + random.below(250000000), {}};
}

// The same plug-in as seen on another machine: mostly identical, sometimes
// updated or merely copied later.
Entry changeEntry(Random& random, Entry entry) {
  const std::uint64_t roll = random.below(100);
  if (roll < 20) {
    entry.version = makeVersion(random);
  } else if (roll < 35) {
    entry.modifiedTime += 1 + random.below(10000000);
  }
  return entry;
}

void shuffle(Random& random, std::vector<Entry>& entries) {
  for (std::size_t i = entries.size(); i > 1; --i) {
    std::swap(entries[i - 1], entries[random.below(i)]);
  }
}

void writeEscaped(std::ostream& out, const std::string& text) {
  for (char c : text) {
    if (c == '"' || c == '\\')
      out << '\\';
    out << c;
  }
}

void writeMember(std::ostream& out, bool pretty, const char* key) {
  out << (pretty ? ",\n    \"" : ", \"") << key << "\": ";
}

void writeEntry(std::ostream& out, const Entry& e, Layout layout) {
  const bool pretty = layout != Layout::kCompact;
  out << (pretty ? "  {\n    \"vendor\": \"" : "  {\"vendor\": \"");
  writeEscaped(out, kVendors[e.plugin.vendor]);
  out << '"';
  writeMember(out, pretty, "name");
  out << '"';
  writeEscaped(out, e.plugin.name);
  out << '"';
  writeMember(out, pretty, "technology");
  out << '"' << kTechnologies[e.plugin.technology] << '"';
  if (layout == Layout::kScanner) {
    writeMember(out, pretty, "modifiedTime");
    out << e.modifiedTime;
  }
  if (!e.version.empty()) {
    writeMember(out, pretty, "version");
    out << '"' << e.version << '"';
  }
  if (layout != Layout::kScanner) {
    writeMember(out, pretty, "modifiedTime");
    out << e.modifiedTime;
  }
  if (!e.path.empty()) {
    writeMember(out, pretty, "path");
    out << '"';
    writeEscaped(out, e.path);
    out << '"';
  }
  out << (pretty ? "\n  }" : "}");
}

void writeEntries(std::ostream& out, const std::vector<Entry>& entries, Layout layout) {
  out << "[\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    writeEntry(out, entries[i], layout);
    out << (i + 1 < entries.size() ? ",\n" : "\n");
  }
  out << "]\n";
}

void check(std::ostream& out, const std::string& path) {
  if (!out.flush()) {
    std::cerr << "cannot write " << path << '\n';
    std::exit(1);
  }
}

void writeInventory(const std::string& path, const std::vector<Entry>& entries,
                    Layout layout) {
  std::ofstream out(path, std::ios::binary);
  writeEntries(out, entries, layout);
  check(out, path);
}

void writeFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
  check(out, path);
}

// Where the scanner would have found a plug-in: the system's folder for its
// technology, or for a second copy the user's.
std::string pluginPath(const Plugin& plugin, bool userCopy) {
  static const char* const kFolders[] = {"vst3", "vst", "components", "aax", "clap"};
  static const char* const kExtensions[] = {".vst3", ".so", ".component", ".aaxplugin",
                                            ".clap"};
  return std::string(userCopy ? "/home/studio/." : "/usr/lib/") +
         kFolders[plugin.technology] + "/" + plugin.name + kExtensions[plugin.technology];
}

// The same plug-in in another state: another version, or copied later.
Entry driftEntry(Random& random, Entry entry) {
  if (random.chance(60))
    entry.version = makeVersion(random);
  else
    entry.modifiedTime += 1 + random.below(10000000);
  return entry;
}

std::string lowered(const std::string& text) {
  std::string result = text;
  for (char& c : result) {
    if (c >= 'A' && c <= 'Z')
      c = static_cast<char>(c - 'A' + 'a');
  }
  return result;
}

// A plug-in of the fleet's pool and how it spreads over the machines.
struct PoolPlugin {
  Entry usual;           // as most machines that have it hold it
  Entry other;           // as the others hold it
  unsigned presence;     // percent of machines that have it
  unsigned drift;        // percent of those that hold `other`
  std::string twinName;  // empty, or the name in another case on some machines
};

// The pool: 60% of the plug-ins on every machine, 25% on nine machines in
// ten, 15% rare; most held alike everywhere, some in another state on a few
// machines. Its size gives about `perMachine` entries a machine.
std::vector<PoolPlugin> makePool(Random& random, std::size_t perMachine) {
  std::vector<PoolPlugin> pool(perMachine * 100 / 84);
  std::uint64_t serial = 0;
  for (PoolPlugin& p : pool) {
    p.usual = makeEntry(random, ++serial);
    p.other = driftEntry(random, p.usual);
    const std::uint64_t spread = random.below(100);
    p.presence = spread < 60 ? 100 : spread < 85 ? 90 : 10;
    const std::uint64_t drift = random.below(100);
    p.drift = drift < 70 ? 0 : drift < 95 ? 3 : 40;
    if (random.chance(1))
      p.twinName = lowered(p.usual.plugin.name);
  }
  return pool;
}

// The scanner's order: technology, vendor and name without case, then the
// path; the rest only makes equal-looking entries come out the same way.
bool scannerLess(const Entry& a, const Entry& b) {
  const auto key = [](const Entry& e) {
    return std::make_tuple(lowered(kTechnologies[e.plugin.technology]),
                           lowered(kVendors[e.plugin.vendor]), lowered(e.plugin.name),
                           std::cref(e.path), e.plugin.vendor, std::cref(e.plugin.name),
                           std::cref(e.version), e.modifiedTime);
  };
  return key(a) < key(b);
}

std::vector<Entry> machineEntries(Random& random, const std::vector<PoolPlugin>& pool) {
  std::vector<Entry> entries;
  for (const PoolPlugin& p : pool) {
    if (!random.chance(p.presence))
      continue;
    Entry entry = random.chance(p.drift) ? p.other : p.usual;
    if (!p.twinName.empty() && random.chance(20))
      entry.plugin.name = p.twinName;
    entry.path = pluginPath(entry.plugin, false);
    entries.push_back(entry);
    if (random.below(200) == 0) {  // a second copy, maybe in another state
      Entry copy = random.chance(50) ? driftEntry(random, entry) : entry;
      copy.path = pluginPath(entry.plugin, true);
      entries.push_back(copy);
    }
  }
  std::sort(entries.begin(), entries.end(), scannerLess);
  return entries;
}

int writeFleet(int argc, char** argv) {
  if (argc < 5) {
    std::cerr << "usage: generate_inventories --fleet MACHINES PLUGINS FOLDER [SEED]\n";
    return 2;
  }
  const std::size_t machines = std::strtoull(argv[2], nullptr, 10);
  const std::size_t perMachine = std::strtoull(argv[3], nullptr, 10);
  const std::string folder = argv[4];
  Random random(argc > 5 ? std::strtoull(argv[5], nullptr, 10) : 20240601);
  std::filesystem::create_directories(folder);

  const std::vector<PoolPlugin> pool = makePool(random, perMachine);
  const int digits = static_cast<int>(std::to_string(machines).size());
  for (std::size_t m = 0; m < machines; ++m) {
    char name[64];
    std::snprintf(name, sizeof name, "/room-%0*zu.json", digits, m + 1);
    std::ostringstream text;
    writeEntries(text, machineEntries(random, pool), Layout::kScanner);
    std::string bytes = text.str();
    // Two files end mid-entry, as a copy interrupted by a full disk would.
    if (machines >= 3 && (m == machines / 3 || m == 2 * machines / 3))
      bytes.resize(bytes.size() / 2);
    writeFile(folder + name, bytes);
  }
  writeFile(
      folder + "/package.json",
      "{\n  \"name\": \"rooms\",\n  \"version\": \"1.0.0\",\n  \"private\": true\n}\n");
  return 0;
}

// A room of the project benchmark: one plug-in as the scanner lists it,
// with the id and the compatibility list it reads from the plug-in's files.
struct RoomEntry {
  std::string vendor, name, technology, version, path, id;
  std::vector<std::string> compatible;
};

// A plug-in the project generator's catalogue names.
struct CatalogueEntry {
  std::string technology, vendor, name, id, file, version;
};

std::vector<CatalogueEntry> readCatalogue(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<CatalogueEntry> entries;
  std::string line;
  std::getline(in, line);  // the heading
  while (std::getline(in, line)) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos;
         start = tab + 1)
      fields.push_back(line.substr(start, tab - start));
    fields.push_back(line.substr(start));
    if (fields.size() == 7 && fields[6] == "0")  // host plug-ins are never installed
      entries.push_back(
          {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]});
  }
  if (entries.empty()) {
    std::cerr << "no plug-ins in " << path << '\n';
    std::exit(1);
  }
  return entries;
}

// The scanner reads ids from VST3, LV2 and AU metadata only.
bool scannerReadsId(const std::string& technology) {
  return technology == "VST3" || technology == "LV2" || technology == "AU";
}

std::string roomPath(const std::string& technology, const std::string& file) {
  return "/usr/lib/" + lowered(technology) + "/" + file;
}

std::string hex32(Random& random) {
  std::string text;
  static const char* const kDigits = "0123456789ABCDEF";
  for (int i = 0; i < 32; ++i)
    text += kDigits[random.below(16)];
  return text;
}

// The same plug-in written otherwise: another case, an architecture mark, a
// vendor's legal form; the id dropped, so that only the name can match.
RoomEntry disguise(Random& random, RoomEntry entry) {
  const std::uint64_t roll = random.below(3);
  if (roll == 0)
    entry.name = lowered(entry.name);
  else if (roll == 1)
    entry.name += " (x64)";
  else
    entry.vendor += " GmbH";
  entry.id.clear();
  return entry;
}

// A VST3 build that replaces a VST2 plug-in: its compatibility list names
// the VST2 unique id in the 16-byte form.
RoomEntry replacement(Random& random, const CatalogueEntry& vst2) {
  char uid[9];
  std::snprintf(uid, sizeof uid, "%08X",
                static_cast<unsigned>(std::strtoul(vst2.id.c_str(), nullptr, 10)));
  RoomEntry entry{vst2.vendor,
                  vst2.name,
                  "VST3",
                  vst2.version,
                  roomPath("VST3", vst2.name + ".vst3"),
                  hex32(random),
                  {}};
  entry.compatible.push_back("565354" + std::string(uid) + "000000000000000000");
  return entry;
}

void writeRoom(const std::string& path, std::vector<RoomEntry> entries) {
  std::sort(entries.begin(), entries.end(), [](const RoomEntry& a, const RoomEntry& b) {
    return std::make_tuple(lowered(a.technology), lowered(a.vendor), lowered(a.name),
                           a.path) < std::make_tuple(lowered(b.technology),
                                                     lowered(b.vendor), lowered(b.name),
                                                     b.path);
  });
  std::ostringstream out;
  out << "[\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const RoomEntry& e = entries[i];
    out << "  {\n    \"vendor\": \"";
    writeEscaped(out, e.vendor);
    out << "\",\n    \"name\": \"";
    writeEscaped(out, e.name);
    out << "\",\n    \"technology\": \"" << e.technology
        << "\",\n    \"modifiedTime\": " << 1600000000 + i;
    if (!e.version.empty())
      out << ",\n    \"version\": \"" << e.version << '"';
    out << ",\n    \"path\": \"";
    writeEscaped(out, e.path);
    out << '"';
    if (!e.id.empty()) {
      out << ",\n    \"id\": \"";
      writeEscaped(out, e.id);
      out << '"';
    }
    if (!e.compatible.empty()) {
      out << ",\n    \"compatible\": [";
      for (std::size_t c = 0; c < e.compatible.size(); ++c)
        out << (c > 0 ? ", \"" : "\"") << e.compatible[c] << '"';
      out << ']';
    }
    out << (i + 1 < entries.size() ? "\n  },\n" : "\n  }\n");
  }
  out << "]\n";
  writeFile(path, out.str());
}

// Rooms that hold most of the catalogue's plug-ins: each plug-in on most
// rooms, some on few; some written otherwise (matched by name only), some
// VST2 plug-ins replaced by a VST3 build on half the rooms, some older;
// the rest of each room is plug-ins no project uses.
int writeRooms(int argc, char** argv) {
  if (argc < 6) {
    std::cerr
        << "usage: generate_inventories --rooms ROOMS PLUGINS CATALOGUE FOLDER [SEED]\n";
    return 2;
  }
  const std::size_t rooms = std::strtoull(argv[2], nullptr, 10);
  const std::size_t perRoom = std::strtoull(argv[3], nullptr, 10);
  const std::vector<CatalogueEntry> catalogue = readCatalogue(argv[4]);
  const std::string folder = argv[5];
  Random random(argc > 6 ? std::strtoull(argv[6], nullptr, 10) : 20240601);
  std::filesystem::create_directories(folder);

  struct Kind {
    unsigned presence;  // percent of rooms
    bool disguised, replaced, older;
  };
  std::vector<Kind> kinds;
  for (const CatalogueEntry& c : catalogue) {
    kinds.push_back({random.chance(10) ? 30u : 95u, random.chance(5),
                     c.technology == "VST2" && random.chance(15), random.chance(5)});
  }
  std::size_t usual = 0;  // catalogue plug-ins in a room, on average
  for (const Kind& k : kinds)
    usual += k.presence;
  usual /= 100;
  const std::size_t noise = perRoom > usual ? perRoom - usual : 0;
  std::vector<RoomEntry> others;
  for (std::size_t i = 0; i < noise * 12 / 10; ++i) {
    const Entry made = makeEntry(random, 100000 + i);
    const std::string technology = kTechnologies[made.plugin.technology];
    others.push_back({kVendors[made.plugin.vendor],
                      made.plugin.name,
                      technology,
                      made.version,
                      roomPath(technology, made.plugin.name),
                      scannerReadsId(technology) ? hex32(random) : "",
                      {}});
  }
  const int digits = static_cast<int>(std::to_string(rooms).size());
  for (std::size_t r = 0; r < rooms; ++r) {
    std::vector<RoomEntry> entries;
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
      const CatalogueEntry& c = catalogue[i];
      if (!random.chance(kinds[i].presence))
        continue;
      if (kinds[i].replaced && random.chance(50)) {
        entries.push_back(replacement(random, c));
        continue;
      }
      RoomEntry entry{c.vendor,
                      c.name,
                      c.technology,
                      c.version,
                      roomPath(c.technology, c.file),
                      scannerReadsId(c.technology) ? c.id : "",
                      {}};
      if (kinds[i].older && random.chance(50))
        entry.version = "0.9";
      if (kinds[i].disguised && random.chance(50))
        entry = disguise(random, entry);
      entries.push_back(entry);
    }
    for (const RoomEntry& other : others) {
      if (random.below(others.size()) < noise)
        entries.push_back(other);
    }
    char name[64];
    std::snprintf(name, sizeof name, "/room-%0*zu.json", digits, r + 1);
    writeRoom(folder + name, entries);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--fleet")
    return writeFleet(argc, argv);
  if (argc > 1 && std::string(argv[1]) == "--rooms")
    return writeRooms(argc, argv);
  const bool pretty = argc > 1 && std::string(argv[1]) == "--pretty";
  if (pretty) {
    --argc;
    ++argv;
  }
  if (argc < 4) {
    std::cerr << "usage: generate_inventories [--pretty] COUNT FIRST.json SECOND.json "
                 "[SEED]\n"
                 "       generate_inventories --fleet MACHINES PLUGINS FOLDER [SEED]\n";
    return 2;
  }
  const std::size_t count = std::strtoull(argv[1], nullptr, 10);
  Random random(argc > 4 ? std::strtoull(argv[4], nullptr, 10) : 20240601);

  std::vector<Entry> first;
  std::vector<Entry> second;
  first.reserve(count);
  second.reserve(count);
  std::uint64_t serial = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (i > 0 && random.chance(1)) {
      first.push_back(first[random.below(first.size())]);  // listed twice
    } else {
      first.push_back(makeEntry(random, ++serial));
    }
  }
  for (std::size_t i = 0; i < count; ++i) {
    if (random.chance(70)) {
      second.push_back(changeEntry(random, first[random.below(count)]));
    } else {
      second.push_back(makeEntry(random, ++serial));
    }
  }
  shuffle(random, first);
  shuffle(random, second);
  const Layout layout = pretty ? Layout::kPretty : Layout::kCompact;
  writeInventory(argv[2], first, layout);
  writeInventory(argv[3], second, layout);
  return 0;
}
