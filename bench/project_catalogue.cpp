// The plug-ins the generated projects use, and what the writers share.
#include <array>
#include <cmath>
#include <cstdio>
#include <set>

#include "project_formats.h"

namespace vernatto::bench {

namespace {

const char* const kVendors[] = {"Acoustica Labs",
                                "Brightwave",
                                "Cobalt Sound",
                                "Driftline Audio",
                                "Echoform",
                                "Fluxtone",
                                "Granite DSP GmbH",
                                "Helix Audio Works",
                                "Ionic",
                                "Juniper & Sons",
                                "Kestrel",
                                "Lumen Audio Ltd",
                                "Northgate",
                                "Orbital Devices",
                                "Quasar Audio",
                                "Redshift",
                                "Saltmarsh",
                                "Tidewater Labs",
                                "Wavecraft Inc",
                                "Zephyr DSP",
                                "Klangwerk Z\xc3\xbcrich",
                                "\xc3\x98lstad Audio",
                                "L\xc3\xa4rmfabrik",
                                "\xe9\x9f\xb3\xe9\x9f\xbf\xe5\xb7\xa5\xe6\x88\xbf"};

const char* const kWords[] = {"Pro",
                              "Vintage",
                              "Tape",
                              "Space",
                              "Shimmer",
                              "Glue",
                              "Bus",
                              "Vocal",
                              "Drum",
                              "Bass",
                              "Analog",
                              "Spring",
                              "Plate",
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
                              "Synth",
                              "Keys",
                              "Strings",
                              "Pad",
                              "Lead",
                              "Grain",
                              "Spectral",
                              "Tube",
                              "Opto",
                              "FET",
                              "Console",
                              "Mastering",
                              "D\xc3\xa9j\xc3\xa0",
                              "Fr\xc3\xbchling"};

// What the hosts bring with them: listed, never installed apart.
void addHostPlugins(std::vector<CataloguePlugin>& catalogue) {
  const char* const cockos[][3] = {{"ReaComp", "reac", "reacomp"},
                                   {"ReaEQ", "reaq", "reaeq"},
                                   {"ReaVerbate", "rvb8", "reaverbate"},
                                   {"ReaSynth", "reas", "reasynth"}};
  for (const auto& c : cockos) {
    CataloguePlugin p;
    p.tech = Tech::kVst2;
    p.vendor = "Cockos";
    p.name = c[0];
    p.code = static_cast<std::uint32_t>(c[1][0]) << 24 |
             static_cast<std::uint32_t>(c[1][1]) << 16 |
             static_cast<std::uint32_t>(c[1][2]) << 8 |
             static_cast<std::uint32_t>(c[1][3]);
    p.file = std::string(c[2]) + ".dll";
    p.host = true;
    catalogue.push_back(p);
  }
  for (const char* js : {"loser/3BandEQ", "Liteon/sumsaturation", "dynamics/LUFS_Meter",
                         "utility/volume_pan"}) {
    CataloguePlugin p;
    p.tech = Tech::kJs;
    p.name = js;
    p.textId = js;
    p.host = true;
    catalogue.push_back(p);
  }
  for (const char* a : {"a-comp", "a-eq", "a-delay", "a-reverb"}) {
    CataloguePlugin p;
    p.tech = Tech::kLv2;
    p.vendor = "Ardour Community";
    p.name = std::string("ACE ") + a;
    p.textId = std::string("urn:ardour:") + a;
    p.host = true;
    catalogue.push_back(p);
  }
  for (const char* a : {"Dither", "Channel Strip", "EQ3 7-Band", "Dyn3 Compressor"}) {
    CataloguePlugin p;
    p.tech = Tech::kAax;
    p.vendor = "Avid";
    p.name = a;
    p.version = "23.12.0";
    p.host = true;
    catalogue.push_back(p);
  }
}

std::uint32_t fourCc(Random& random, bool upperFirst) {
  std::uint32_t code = 0;
  for (int i = 0; i < 4; ++i) {
    const char base = (i == 0 && upperFirst) ? 'A' : 'a';
    code = code << 8 |
           static_cast<std::uint32_t>(base + static_cast<char>(random.below(26)));
  }
  return code;
}

std::string slug(const std::string& text) {
  std::string result;
  for (char c : text) {
    if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))
      result += c;
    else if (c >= 'A' && c <= 'Z')
      result += static_cast<char>(c - 'A' + 'a');
  }
  return result.empty() ? "x" : result;
}

std::string fileStem(const std::string& name) {
  std::string stem;
  for (char c : name) {
    if (c != ' ' && c != '&')
      stem += c;
  }
  return stem;
}

Tech drawTech(Random& random) {
  const std::uint64_t roll = random.below(100);
  if (roll < 35)
    return Tech::kVst3;
  if (roll < 60)
    return Tech::kVst2;
  if (roll < 68)
    return Tech::kAu;
  if (roll < 74)
    return Tech::kClap;
  if (roll < 84)
    return Tech::kLv2;
  if (roll < 90)
    return Tech::kLadspa;
  return Tech::kAax;
}

void hex8(std::string& out, std::uint32_t word) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", word);
  out += text;
}

}  // namespace

const char* techName(Tech tech) {
  switch (tech) {
    case Tech::kVst2:
      return "VST2";
    case Tech::kVst3:
      return "VST3";
    case Tech::kAu:
      return "AU";
    case Tech::kClap:
      return "CLAP";
    case Tech::kLv2:
      return "LV2";
    case Tech::kLadspa:
      return "LADSPA";
    case Tech::kAax:
      return "AAX";
    case Tech::kJs:
      return "JS";
  }
  return "";
}

std::string CataloguePlugin::id() const {
  std::string text;
  switch (tech) {
    case Tech::kVst2:
    case Tech::kLadspa:
      return std::to_string(code);
    case Tech::kVst3:
      for (std::uint32_t w : words)
        hex8(text, w);
      return text;
    case Tech::kAu:
      return std::to_string(au[0]) + " " + std::to_string(au[1]) + " " +
             std::to_string(au[2]);
    case Tech::kClap:
    case Tech::kLv2:
      return textId;
    case Tech::kAax:
    case Tech::kJs:
      return "";
  }
  return text;
}

std::string CataloguePlugin::vst2AsGuid() const {
  std::string text = "565354";
  hex8(text, code);
  std::string lower = slug(name);
  for (std::size_t i = 0; i < 9; ++i) {
    char byte[3];
    std::snprintf(byte, sizeof byte, "%02X",
                  i < lower.size() ? static_cast<unsigned char>(lower[i]) : 0u);
    text += byte;
  }
  return text;
}

std::vector<CataloguePlugin> makeCatalogue(std::uint64_t seed, std::size_t count) {
  Random random(seed);
  std::vector<CataloguePlugin> catalogue;
  std::set<std::uint32_t> codes;
  for (std::size_t i = 0; i < count; ++i) {
    CataloguePlugin p;
    p.tech = drawTech(random);
    p.vendor = kVendors[random.below(std::size(kVendors))];
    p.name = kWords[random.below(std::size(kWords))];
    if (random.chance(70)) {
      p.name += ' ';
      p.name += kWords[random.below(std::size(kWords))];
    }
    // The serial keeps names apart, so a name names one plug-in.
    p.name += ' ' + std::to_string(i + 1);
    p.version = std::to_string(1 + random.below(9)) + "." +
                std::to_string(random.below(20)) + "." + std::to_string(random.below(50));
    p.instrument = random.chance(20);
    const std::string stem = fileStem(p.name);
    switch (p.tech) {
      case Tech::kVst2:
        do {
          p.code = fourCc(random, true);
        } while (!codes.insert(p.code).second);
        p.file = stem + (random.chance(50) ? "_x64.dll" : ".so");
        break;
      case Tech::kVst3:
        for (std::uint32_t& w : p.words)
          w = static_cast<std::uint32_t>(random.next());
        p.file = stem + ".vst3";
        break;
      case Tech::kAu:
        p.au[0] = p.instrument ? 0x61756d75u : 0x61756678u;  // aumu, aufx
        p.au[1] = fourCc(random, false);
        p.au[2] = fourCc(random, true);
        p.file = stem + ".component";
        break;
      case Tech::kClap:
        p.textId = "com." + slug(p.vendor) + "." + slug(p.name);
        p.file = stem + ".clap";
        break;
      case Tech::kLv2:
        p.textId = "https://" + slug(p.vendor) + ".example/plugins/" + slug(p.name);
        p.file = slug(p.name) + ".lv2";
        break;
      case Tech::kLadspa:
        p.code = static_cast<std::uint32_t>(1000 + i);
        p.label = slug(p.name);
        p.file = slug(p.vendor) + "_" + std::to_string(i % 40) + ".so";
        break;
      case Tech::kAax:
      case Tech::kJs:
        p.file = stem + ".aaxplugin";
        break;
    }
    catalogue.push_back(p);
  }
  addHostPlugins(catalogue);
  return catalogue;
}

std::uint64_t Random::logUniform(std::uint64_t lo, std::uint64_t hi) {
  const double unit = static_cast<double>(below(1000000)) / 1000000.0;
  return static_cast<std::uint64_t>(
      static_cast<double>(lo) *
      std::pow(static_cast<double>(hi) / static_cast<double>(lo), unit));
}

void ExpectedList::add(const Expected& reference) {
  std::string key = reference.technology + '\x1f';
  if (!reference.id.empty()) {
    key += reference.id;
  } else {
    key += '\x1e' + reference.vendor + '\x1f' + reference.name + '\x1f' + reference.file;
  }
  const auto found = indexOf_.find(key);
  if (found != indexOf_.end()) {
    references_[found->second].instances += reference.instances;
    return;
  }
  indexOf_.emplace(key, references_.size());
  references_.push_back(reference);
}

namespace {

const std::string& pool(bool hex) {
  static const std::array<std::string, 2> pools = [] {
    std::string made[2];
    Random random(7);
    const char* const alphabet[2] = {
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/",
        "0123456789ABCDEF"};
    for (int k = 0; k < 2; ++k) {
      const std::size_t size = std::size_t{1} << 22;
      made[k].resize(size);
      const std::uint64_t letters = k == 0 ? 64 : 16;
      // A third of every state is runs of one letter, as saved parameter
      // blocks full of zeros are: the files compress as real ones do.
      for (std::size_t i = 0; i < size; ++i)
        made[k][i] =
            (i / 64) % 3 == 0 ? alphabet[k][0] : alphabet[k][random.below(letters)];
    }
    return std::array<std::string, 2>{made[0], made[1]};
  }();
  return pools[hex ? 1u : 0u];
}

}  // namespace

Context::Context(Random& r, const std::vector<const CataloguePlugin*>& eligible,
                 ExpectedList& e)
    : random(r), expected(e), eligible_(eligible) {}

const CataloguePlugin& Context::pick() {
  // A few plug-ins are in most projects, most in a few: the square of an
  // even draw favours the front of the list.
  const double unit = static_cast<double>(random.below(1000000)) / 1000000.0;
  const auto index =
      static_cast<std::size_t>(unit * unit * static_cast<double>(eligible_.size()));
  return *eligible_[index < eligible_.size() ? index : eligible_.size() - 1];
}

std::size_t Context::stateSize() {
  if (random.chance(22))
    return random.logUniform(10000, 500000);
  return random.logUniform(300, 6000);
}

Device Context::device(int depth, unsigned nativePercent) {
  Device d;
  if (depth > 0 && random.chance(depth >= 5 ? 8 : 50)) {
    d.rack = true;
    const std::uint64_t count = 1 + random.below(3);
    for (std::uint64_t i = 0; i < count; ++i)
      d.children.push_back(device(depth - 1, nativePercent));
    return d;
  }
  if (!random.chance(nativePercent))
    d.plugin = &pick();
  d.bypassed = random.chance(10);
  d.state = d.plugin != nullptr ? stateSize() : random.logUniform(200, 2000);
  return d;
}

std::vector<Device> Context::devices(int depth, unsigned nativePercent) {
  std::vector<Device> result;
  const std::uint64_t count = random.below(5);
  for (std::uint64_t i = 0; i < count; ++i)
    result.push_back(device(i == 0 ? depth : 0, nativePercent));
  return result;
}

std::string_view Context::base64(std::size_t size) {
  const std::string& p = pool(false);
  if (size > p.size() / 2)
    size = p.size() / 2;
  return std::string_view(p).substr(random.below(p.size() / 2), size);
}

std::string_view Context::hex(std::size_t size) {
  const std::string& p = pool(true);
  if (size > p.size() / 2)
    size = p.size() / 2;
  return std::string_view(p).substr(random.below(p.size() / 2), size);
}

std::string Context::guid() {
  char text[40];
  const std::uint64_t a = random.next();
  const std::uint64_t b = random.next();
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%04X-%012llX}",
                static_cast<unsigned>(a >> 32), static_cast<unsigned>((a >> 16) & 0xffff),
                static_cast<unsigned>(a & 0xffff), static_cast<unsigned>(b >> 48),
                static_cast<unsigned long long>(b & 0xffffffffffffULL));
  return text;
}

}  // namespace vernatto::bench
