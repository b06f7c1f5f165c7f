// Writes a deterministic pair of plug-in inventories for the benchmarks:
//   generate_inventories [--pretty] COUNT FIRST.json SECOND.json [SEED]
// Each file holds COUNT entries, one a line, or with --pretty one member a
// line with a two-space indent, as scanners often write them; the entries
// are the same either way. About 70% of the second file's entries name a
// plug-in of the first (some with another version or time), the rest are new;
// a few entries appear twice, some have no version, some names are not ASCII.
// The same arguments give the same bytes on every platform: the generator uses
// its own arithmetic on a fixed 64-bit engine, never the library's
// distributions, whose results differ between standard libraries.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <random>
#include <string>
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
};

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
  return {plugin, makeVersion(random), 1500000000 + random.below(250000000)};
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

void writeEntry(std::ostream& out, const Entry& e, bool pretty) {
  out << (pretty ? "  {\n    \"vendor\": \"" : "  {\"vendor\": \"");
  writeEscaped(out, kVendors[e.plugin.vendor]);
  out << '"';
  writeMember(out, pretty, "name");
  out << '"';
  writeEscaped(out, e.plugin.name);
  out << '"';
  writeMember(out, pretty, "technology");
  out << '"' << kTechnologies[e.plugin.technology] << '"';
  if (!e.version.empty()) {
    writeMember(out, pretty, "version");
    out << '"' << e.version << '"';
  }
  writeMember(out, pretty, "modifiedTime");
  out << e.modifiedTime << (pretty ? "\n  }" : "}");
}

void writeInventory(const std::string& path, const std::vector<Entry>& entries,
                    bool pretty) {
  std::ofstream out(path, std::ios::binary);
  out << "[\n";
  for (std::size_t i = 0; i < entries.size(); ++i) {
    writeEntry(out, entries[i], pretty);
    out << (i + 1 < entries.size() ? ",\n" : "\n");
  }
  out << "]\n";
  if (!out.flush()) {
    std::cerr << "cannot write " << path << '\n';
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const bool pretty = argc > 1 && std::string(argv[1]) == "--pretty";
  if (pretty) {
    --argc;
    ++argv;
  }
  if (argc < 4) {
    std::cerr << "usage: generate_inventories [--pretty] COUNT FIRST.json SECOND.json "
                 "[SEED]\n";
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
  writeInventory(argv[2], first, pretty);
  writeInventory(argv[3], second, pretty);
  return 0;
}
