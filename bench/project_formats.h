// The project generator's model: a catalogue of plug-ins, what a project
// says it uses (the references a reader must find), and one writer per
// host's format.
#pragma once

#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "project_output.h"

namespace vernatto::bench {

enum class Tech { kVst2, kVst3, kAu, kClap, kLv2, kLadspa, kAax, kJs };

const char* techName(Tech tech);

struct CataloguePlugin {
  Tech tech = Tech::kVst3;
  std::string vendor;
  std::string name;
  std::string version;
  std::string file;             // the plug-in's file or bundle, no folder
  std::string textId;           // CLAP id, LV2 URI, JS path
  std::uint32_t code = 0;       // VST2 and LADSPA unique id
  std::uint32_t words[4] = {};  // VST3 class id
  std::uint32_t au[3] = {};     // AU type, subtype, manufacturer
  std::string label;            // LADSPA label
  bool instrument = false;
  bool host = false;  // comes with a host

  // The id in the references' normal form.
  std::string id() const;
  // A VST2 plug-in as a 16-byte VST3-form id: VST, the unique id, the name.
  std::string vst2AsGuid() const;
};

// Deterministic: the same seed gives the same catalogue.
std::vector<CataloguePlugin> makeCatalogue(std::uint64_t seed, std::size_t count);

class Random {
 public:
  explicit Random(std::uint64_t seed) : engine_(seed) {}
  std::uint64_t below(std::uint64_t bound) { return engine_() % bound; }
  bool chance(unsigned percent) { return below(100) < percent; }
  // Between lo and hi, evenly on a log scale.
  std::uint64_t logUniform(std::uint64_t lo, std::uint64_t hi);
  std::uint64_t next() { return engine_(); }

 private:
  std::mt19937_64 engine_;
};

// One plug-in as a reader must report it.
struct Expected {
  std::string technology, vendor, name, id, file, version;
  std::uint64_t instances = 0;
  bool host = false;
};

// What one project uses, merged as the readers merge instances.
class ExpectedList {
 public:
  void add(const Expected& reference);
  const std::vector<Expected>& references() const { return references_; }

 private:
  std::vector<Expected> references_;
  std::map<std::string, std::size_t> indexOf_;
};

// A device on a track: a plug-in, one of the host's own, or a rack of more.
struct Device {
  const CataloguePlugin* plugin = nullptr;  // null: the host's own, or a rack
  std::vector<Device> children;             // a rack's devices
  bool rack = false;
  bool bypassed = false;
  std::size_t state = 0;  // bytes of saved state
};

// What a format's writer draws from while it writes one project.
class Context {
 public:
  Context(Random& random, const std::vector<const CataloguePlugin*>& eligible,
          ExpectedList& expected);

  Random& random;
  ExpectedList& expected;

  const CataloguePlugin& pick();
  // A track's devices, racks nested at most `depth` deep (0: no racks).
  std::vector<Device> devices(int depth, unsigned nativePercent = 25);
  std::size_t stateSize();
  std::string_view base64(std::size_t size);
  std::string_view hex(std::size_t size);
  std::string guid();  // {8-4-4-4-12}, upper case

 private:
  Device device(int depth, unsigned nativePercent);
  const std::vector<const CataloguePlugin*>& eligible_;
};

// Each writes one whole project of at least `target` bytes of text.
void writeReaper(Out& out, Context& ctx, std::uint64_t target);
void writeLive(Out& out, Context& ctx, std::uint64_t target, int liveVersion);
void writeDawprojectXml(Out& out, Context& ctx, std::uint64_t target,
                        std::vector<std::size_t>& stateFiles);
void writeArdour(Out& out, Context& ctx, std::uint64_t target);
void writeCarla(Out& out, Context& ctx, std::uint64_t target, int depth);
void writeLmms(Out& out, Context& ctx, std::uint64_t target);
// The mixer's and the synth folder's XML of a Studio One song.
void writeStudioOneMixer(Out& out, Context& ctx, std::uint64_t target,
                         std::vector<std::size_t>& stateFiles);
void writeStudioOneSynths(Out& out, Context& ctx, std::uint64_t target,
                          std::vector<std::size_t>& stateFiles);
// A Cubase project, binary: built in memory (RIFF sizes come first).
std::string makeCubase(Context& ctx, std::uint64_t target);
void writeProToolsText(Out& out, Context& ctx, std::uint64_t target);

}  // namespace vernatto::bench
