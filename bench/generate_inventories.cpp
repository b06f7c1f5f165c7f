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

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--fleet")
    return writeFleet(argc, argv);
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
