// The XML formats besides Live's: DAWproject, Ardour, Carla, LMMS and the
// device files of a Studio One song.
#include <cstdio>
#include <memory>

#include "project_formats.h"

namespace vernatto::bench {

namespace {

// The next of a file's ids: a function, so that several in one expression
// are taken in order.
std::uint64_t take(std::uint64_t& next) {
  return next++;
}

std::string fourCcText(std::uint32_t code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i)
    text[static_cast<std::size_t>(i)] = static_cast<char>((code >> (24 - 8 * i)) & 0xff);
  return text;
}

// {8-4-4-4-12} of 32 hex digits, as Studio One and DAWproject files write ids.
std::string dashed(const std::string& hex32) {
  return "{" + hex32.substr(0, 8) + "-" + hex32.substr(8, 4) + "-" + hex32.substr(12, 4) +
         "-" + hex32.substr(16, 4) + "-" + hex32.substr(20) + "}";
}

void wrapped(Out& out, std::string_view data, std::string_view indent,
             std::size_t width) {
  while (!data.empty()) {
    const std::size_t n = data.size() < width ? data.size() : width;
    out << indent << data.substr(0, n) << '\n';
    data.remove_prefix(n);
  }
}

// DAWproject ---------------------------------------------------------------

struct Dawproject {
  Out& out;
  Context& ctx;
  std::vector<std::size_t>& stateFiles;
  std::uint64_t nextId = 100;

  std::string id() { return "id" + std::to_string(take(nextId)); }

  void plugin(const std::string& t, const Device& d) {
    const CataloguePlugin& p = *d.plugin;
    const char* tag = p.tech == Tech::kVst2   ? "Vst2Plugin"
                      : p.tech == Tech::kVst3 ? "Vst3Plugin"
                      : p.tech == Tech::kClap ? "ClapPlugin"
                                              : "AuPlugin";
    std::string deviceId = p.id();
    if (p.tech == Tech::kVst3 && ctx.random.chance(30))
      deviceId = dashed(deviceId);
    if (p.tech == Tech::kAu)
      deviceId =
          fourCcText(p.au[0]) + ":" + fourCcText(p.au[1]) + ":" + fourCcText(p.au[2]);
    const bool vendor = !ctx.random.chance(10);
    out << t << '<' << tag << " deviceID=\"";
    out.escaped(deviceId) << "\" deviceName=\"";
    out.escaped(p.name) << "\" deviceRole=\"" << (p.instrument ? "instrument" : "audioFX")
                        << '"';
    if (vendor) {
      out << " deviceVendor=\"";
      out.escaped(p.vendor) << '"';
    }
    out << " pluginVersion=\"" << p.version << "\" loaded=\"true\" id=\"" << id()
        << "\" name=\"";
    out.escaped(p.name) << "\">\n" << t << "  <Parameters>\n";
    const std::uint64_t parameters = d.state / 2000;
    for (std::uint64_t i = 0; i < parameters && i < 300; ++i) {
      out << t
          << "    <RealParameter max=\"1.000000\" min=\"0.000000\" unit=\"normalized\" "
          << "value=\"0.500000\" id=\"" << id() << "\" name=\"Param " << i
          << "\" parameterID=\"" << i << "\"/>\n";
    }
    out << t << "  </Parameters>\n"
        << t << "  <Enabled value=\"" << (d.bypassed ? "false" : "true") << "\" id=\""
        << id() << "\" name=\"On/Off\"/>\n"
        << t << "  <State path=\"plugins/state-" << stateFiles.size() << ".bin\"/>\n"
        << t << "</" << tag << ">\n";
    stateFiles.push_back(d.state);
    ctx.expected.add({techName(p.tech), vendor ? p.vendor : "", p.name, p.id(), "",
                      p.version, 1, p.host});
  }

  void builtin(const std::string& t, const Device& d) {
    static const char* const kBuiltins[] = {"Equalizer", "Compressor", "NoiseGate",
                                            "Limiter"};
    const char* tag = kBuiltins[ctx.random.below(std::size(kBuiltins))];
    out << t << '<' << tag << " deviceRole=\"audioFX\" deviceName=\"" << tag
        << "\" loaded=\"true\" id=\"" << id() << "\" name=\"" << tag << "\">\n";
    for (std::size_t i = 0; i < d.state / 300 + 1; ++i) {
      out << t
          << "  <Band type=\"bell\" order=\"2\"><Freq unit=\"hertz\" value=\"1000.0\" "
             "id=\""
          << id() << "\"/><Gain unit=\"decibel\" value=\"0.0\" id=\"" << id()
          << "\"/></Band>\n";
    }
    out << t << "</" << tag << ">\n";
  }

  void devices(const std::string& t, const std::vector<Device>& list) {
    for (const Device& d : list) {
      if (d.rack)
        devices(t, d.children);
      else if (d.plugin != nullptr)
        plugin(t, d);
      else
        builtin(t, d);
    }
  }

  void track(int depth, std::vector<std::string>& trackIds) {
    const std::string t(static_cast<std::size_t>(4 + 2 * depth), ' ');
    const std::string trackId = id();
    trackIds.push_back(trackId);
    out << t << "<Track contentType=\"notes\" loaded=\"true\" id=\"" << trackId
        << "\" name=\"Track " << trackIds.size() << "\" color=\"#a2eabf\">\n"
        << t << "  <Channel audioChannels=\"2\" destination=\"id1\" role=\"regular\" "
        << "solo=\"false\" id=\"" << id() << "\">\n"
        << t << "    <Devices>\n";
    devices(t + "      ", ctx.devices(5));
    out << t << "    </Devices>\n"
        << t << "    <Mute value=\"false\" id=\"" << id() << "\" name=\"Mute\"/>\n"
        << t << "    <Pan max=\"1.000000\" min=\"0.000000\" unit=\"normalized\" "
        << "value=\"0.500000\" id=\"" << id() << "\" name=\"Pan\"/>\n"
        << t << "    <Volume max=\"2.000000\" min=\"0.000000\" unit=\"linear\" "
        << "value=\"0.659140\" id=\"" << id() << "\" name=\"Volume\"/>\n"
        << t << "  </Channel>\n";
    // Group tracks hold tracks of their own.
    if (depth < 4 && ctx.random.chance(10)) {
      for (int i = 0; i < 2; ++i)
        track(depth + 1, trackIds);
    }
    out << t << "</Track>\n";
  }
};

// Ardour -------------------------------------------------------------------

const char* ardourType(Tech tech) {
  switch (tech) {
    case Tech::kLv2:
      return "lv2";
    case Tech::kLadspa:
      return "ladspa";
    case Tech::kVst3:
      return "vst3";
    default:
      return "lxvst";
  }
}

void ardourProcessor(Out& out, Context& ctx, const Device& d, std::uint64_t& nextId) {
  const CataloguePlugin& p = *d.plugin;
  const std::string id = p.tech == Tech::kLv2 ? p.textId : p.id();
  out << "      <Processor id=\"" << take(nextId) << "\" name=\"";
  out.escaped(p.name) << "\" active=\"" << (d.bypassed ? "0" : "1")
                      << "\" user-latency=\"0\" type=\"" << ardourType(p.tech)
                      << "\" unique-id=\"";
  out.escaped(id) << "\" count=\"1\" custom=\"0\">\n"
                  << "        <ConfiguredInput>\n"
                  << "          <Channels type=\"audio\" count=\"2\"/>\n"
                  << "        </ConfiguredInput>\n"
                  << "        <ConfiguredOutput>\n"
                  << "          <Channels type=\"audio\" count=\"2\"/>\n"
                  << "        </ConfiguredOutput>\n";
  for (std::size_t i = 0; i < d.state / 3000 + 1 && i < 200; ++i) {
    out << "        <Controllable name=\"p" << i << "\" id=\"" << take(nextId)
        << "\" flags=\"\" value=\"0.500000000000\" parameter=\"" << i << "\"/>\n";
  }
  if (p.tech == Tech::kVst2 || p.tech == Tech::kVst3) {
    out << "        <" << ardourType(p.tech) << ">\n          <chunk>";
    out << ctx.base64(d.state) << "</chunk>\n        </" << ardourType(p.tech) << ">\n";
  } else if (p.tech == Tech::kLv2) {
    out << "        <lv2 last-preset-uri=\"\" last-preset-label=\"\" "
        << "parameter-changed-since-last-preset=\"0\" template-dir=\"\"/>\n";
  }
  out << "      </Processor>\n";
  ctx.expected.add({techName(p.tech), "", p.name, p.id(), "", "", 1, p.host});
}

void ardourOwn(Out& out, const char* type, const char* name, std::uint64_t& nextId) {
  out << "      <Processor id=\"" << take(nextId) << "\" name=\"" << name
      << "\" active=\"1\" user-latency=\"0\" type=\"" << type << "\">\n"
      << "        <Controllable name=\"gaincontrol\" id=\"" << take(nextId)
      << "\" flags=\"GainLike\" value=\"1\"/>\n      </Processor>\n";
}

void ardourPlugins(Out& out, Context& ctx, const std::vector<Device>& list,
                   std::uint64_t& nextId) {
  for (const Device& d : list) {
    if (d.rack)
      ardourPlugins(out, ctx, d.children, nextId);
    else if (d.plugin != nullptr)
      ardourProcessor(out, ctx, d, nextId);
  }
}

// Carla --------------------------------------------------------------------

struct Carla {
  Context& ctx;

  static void text(Out& out, const char* tag, std::string_view value) {
    out << "   <" << tag << '>';
    out.escaped(value) << "</" << tag << ">\n";
  }

  void plugin(Out& out, const Device& d, int depth) {
    if (d.rack) {
      rack(out, d, depth);
      return;
    }
    if (d.plugin == nullptr) {
      static const char* const kOwn[][2] = {
          {"INTERNAL", "zynreverb"}, {"SFZ", "AcousticGuitar"}, {"SF2", "FluidGM"}};
      const auto& own = kOwn[ctx.random.below(3)];
      out << " <!-- " << own[1] << " -->\n <Plugin>\n  <Info>\n";
      text(out, "Type", own[0]);
      text(out, "Name", own[1]);
      text(out, "Label", own[1]);
      out << "  </Info>\n\n  <Data>\n   <Active>Yes</Active>\n  </Data>\n </Plugin>\n\n";
      return;
    }
    const CataloguePlugin& p = *d.plugin;
    out << " <!-- ";
    out.escaped(p.name) << " -->\n <Plugin>\n  <Info>\n";
    std::string file;
    switch (p.tech) {
      case Tech::kLv2:
        text(out, "Type", "LV2");
        text(out, "Name", p.name);
        text(out, "URI", p.textId);
        break;
      case Tech::kLadspa:
        text(out, "Type", "LADSPA");
        text(out, "Name", p.name);
        text(out, "Binary", "/usr/lib/ladspa/" + p.file);
        text(out, "Label", p.label);
        text(out, "UniqueID", std::to_string(p.code));
        file = p.file;
        break;
      default:
        text(out, "Type", "VST2");
        text(out, "Name", p.name);
        text(out, "Binary", "/usr/lib/vst/" + p.file);
        text(out, "UniqueID", std::to_string(p.code));
        file = p.file;
        break;
    }
    out << "  </Info>\n\n  <Data>\n   <Active>" << (d.bypassed ? "No" : "Yes")
        << "</Active>\n   <ControlChannel>1</ControlChannel>\n   "
           "<Options>0x3f1</Options>\n";
    for (std::size_t i = 0; i < d.state / 4000 + 1 && i < 100; ++i) {
      out << "\n   <Parameter>\n    <Index>" << i << "</Index>\n    <Name>Param " << i
          << "</Name>\n    <Value>0.5</Value>\n   </Parameter>\n";
    }
    out << "\n   <Chunk>\n";
    wrapped(out, ctx.base64(d.state), "", 76);
    out << "   </Chunk>\n  </Data>\n </Plugin>\n\n";
    ctx.expected.add({techName(p.tech), "", p.name, p.id(), file, "", 1, p.host});
  }

  // A rack keeps a whole Carla project, escaped, as its state.
  void rack(Out& out, const Device& d, int depth) {
    out << " <!-- Carla-Rack -->\n <Plugin>\n  <Info>\n";
    text(out, "Type", "INTERNAL");
    text(out, "Name", "Carla-Rack");
    text(out, "Label", "carlarack");
    out << "  </Info>\n\n  <Data>\n   <Active>Yes</Active>\n\n   <CustomData>\n"
        << "    <Type>http://kxstudio.sf.net/ns/carla/string</Type>\n"
        << "    <Key>State</Key>\n    <Value>";
    out.flush();
    {
      EscapeSink escape(outSink(out));
      Out inner(escape);
      project(inner, d.children, depth + 1);
    }
    out << "</Value>\n   </CustomData>\n  </Data>\n </Plugin>\n\n";
  }

  // The sink under `out`, reached through a small adaptor: the nested
  // project's escaped bytes go where `out` writes.
  struct OutSink : Sink {
    explicit OutSink(Out& o) : out(o) {}
    void write(const char* data, std::size_t size) override {
      out << std::string_view(data, size);
    }
    Out& out;
  };
  OutSink& outSink(Out& out) {
    adaptors.emplace_back(new OutSink(out));
    return *adaptors.back();
  }
  std::vector<std::unique_ptr<OutSink>> adaptors;

  static void head(Out& out) {
    out << "<?xml version='1.0' encoding='UTF-8'?>\n<!DOCTYPE CARLA-PROJECT>\n"
        << "<CARLA-PROJECT VERSION='2.0'>\n <EngineSettings>\n"
        << "  <ForceStereo>false</ForceStereo>\n"
        << "  <PreferPluginBridges>false</PreferPluginBridges>\n"
        << "  <MaxParameters>200</MaxParameters>\n </EngineSettings>\n\n";
  }

  void project(Out& out, const std::vector<Device>& list, int depth) {
    head(out);
    for (const Device& d : list)
      plugin(out, d, depth);
    out << "</CARLA-PROJECT>\n";
  }
};

}  // namespace

void writeDawprojectXml(Out& out, Context& ctx, std::uint64_t target,
                        std::vector<std::size_t>& stateFiles) {
  Dawproject w{out, ctx, stateFiles};
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
      << "<Project version=\"1.0\">\n"
      << "  <Application name=\"Bitwig Studio\" version=\"5.1\"/>\n"
      << "  <Transport>\n    <Tempo max=\"666.000000\" min=\"20.000000\" unit=\"bpm\" "
      << "value=\"120.000000\" id=\"id0\" name=\"Tempo\"/>\n  </Transport>\n  "
         "<Structure>\n";
  std::vector<std::string> trackIds;
  do {
    w.track(0, trackIds);
  } while (out.written() < target / 2);
  out << "  </Structure>\n  <Arrangement id=\"" << w.id() << "\">\n"
      << "    <Lanes timeUnit=\"beats\" id=\"" << w.id() << "\">\n";
  // The notes make up the other half of a real project's text.
  std::size_t next = 0;
  while (out.written() < target || next < trackIds.size()) {
    out << "      <Lanes track=\"" << trackIds[next % trackIds.size()] << "\" id=\""
        << w.id() << "\">\n        <Clips id=\"" << w.id() << "\">\n"
        << "          <Clip time=\"0.0\" duration=\"8.0\" playStart=\"0.0\">\n"
        << "            <Notes id=\"" << w.id() << "\">\n";
    for (int i = 0; i < 64; ++i) {
      out << "              <Note time=\"" << i / 4 << '.' << (i % 4) * 25
          << "0000\" duration=\"0.250000\" channel=\"0\" key=\""
          << 36 + ctx.random.below(48) << "\" vel=\"0.787402\" rel=\"0.787402\"/>\n";
    }
    out << "            </Notes>\n          </Clip>\n        </Clips>\n      </Lanes>\n";
    ++next;
  }
  out << "    </Lanes>\n  </Arrangement>\n  <Scenes/>\n</Project>\n";
}

void writeArdour(Out& out, Context& ctx, std::uint64_t target) {
  std::uint64_t nextId = 100;
  const bool eight = ctx.random.chance(50);
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<Session version=\"" << (eight ? 7003 : 3002) << "\" name=\"session\" "
      << "sample-rate=\"48000\" end-is-free=\"0\" id-counter=\"90000\">\n"
      << "  <ProgramVersion created-with=\"Ardour " << (eight ? "8.4" : "5.12")
      << "\" modified-with=\"Ardour " << (eight ? "8.4" : "5.12") << "\"/>\n"
      << "  <Config>\n    <Option name=\"audio-search-path\" value=\"\"/>\n  </Config>\n"
      << "  <Routes>\n";
  int number = 0;
  do {
    ++number;
    out << "    <Route version=\"7003\" id=\"" << take(nextId) << "\" name=\"Audio "
        << number << "\" default-type=\"audio\" strict-io=\"1\" active=\"1\" "
        << "denormal-protection=\"0\" meter-point=\"MeterPostFader\" "
           "meter-type=\"MeterPeak\">\n"
        << "      <PresentationInfo order=\"" << number << "\" flags=\"AudioTrack\"/>\n"
        << "      <IO name=\"Audio " << number << "\" id=\"" << take(nextId)
        << "\" direction=\"Input\" default-type=\"audio\">\n"
        << "        <Port type=\"audio\" name=\"Audio " << number << "/audio_in 1\">\n"
        << "          <Connection other=\"system:capture_1\"/>\n        </Port>\n"
        << "      </IO>\n";
    ardourOwn(out, "trim", "Trim", nextId);
    ardourPlugins(out, ctx, ctx.devices(5, 0), nextId);
    ardourOwn(out, "amp", "Amp", nextId);
    out << "      <Processor id=\"" << take(nextId)
        << "\" name=\"meter-Audio\" active=\"1\" "
        << "user-latency=\"0\" type=\"meter\"/>\n"
        << "      <Processor id=\"" << take(nextId) << "\" name=\"Audio " << number
        << "\" active=\"1\" user-latency=\"0\" own-input=\"1\" own-output=\"0\" "
        << "type=\"main-outs\" role=\"Main\">\n"
        << "        <PannerShell bypassed=\"0\" user-panner=\"\" "
           "linked-to-route=\"1\"/>\n"
        << "      </Processor>\n    </Route>\n";
  } while (out.written() < target * 2 / 3 || number < 2);
  out << "  </Routes>\n  <Playlists>\n";
  while (out.written() < target) {
    out << "    <Playlist id=\"" << take(nextId) << "\" name=\"Audio.1\" type=\"audio\" "
        << "orig-track-id=\"101\" shared-with-ids=\"\" frozen=\"0\" combine-ops=\"0\">\n";
    for (int i = 0; i < 40; ++i) {
      out << "      <Region name=\"Audio-" << i
          << "\" muted=\"0\" opaque=\"1\" locked=\"0\" "
          << "position=\"" << i * 96000
          << "\" length=\"96000\" start=\"0\" sync-position=\"0\" "
          << "layer=\"0\" type=\"audio\" id=\"" << take(nextId) << "\" source-0=\""
          << take(nextId) << "\" master-source-0=\"" << take(nextId) << "\"/>\n";
    }
    out << "    </Playlist>\n";
  }
  out << "  </Playlists>\n";
  if (eight) {
    out << "  <IOPlugins>\n    <IOPlug name=\"Pre\" id=\"" << take(nextId)
        << "\" pre=\"1\">\n";
    ardourPlugins(out, ctx, ctx.devices(0, 0), nextId);
    out << "    </IOPlug>\n  </IOPlugins>\n";
  }
  out << "</Session>\n";
}

void writeCarla(Out& out, Context& ctx, std::uint64_t target, int depth) {
  Carla carla{ctx, {}};
  Carla::head(out);
  do {
    for (const Device& d : ctx.devices(depth, 15))
      carla.plugin(out, d, 0);
  } while (out.written() < target);
  out << " <Patchbay>\n  <Connection>\n   <Source>system:capture_1</Source>\n"
      << "   <Target>Carla:audio-in1</Target>\n  </Connection>\n </Patchbay>\n"
      << "</CARLA-PROJECT>\n";
}

void writeLmms(Out& out, Context& ctx, std::uint64_t target) {
  out << "<?xml version=\"1.0\"?>\n<!DOCTYPE lmms-project>\n"
      << "<lmms-project creator=\"LMMS\" type=\"song\" creatorversion=\"1.2.2\" "
      << "version=\"20\">\n"
      << "  <head masterpitch=\"0\" timesig_denominator=\"4\" bpm=\"140\" "
      << "timesig_numerator=\"4\" mastervol=\"100\"/>\n  <song>\n"
      << "    <trackcontainer type=\"song\" visible=\"1\" width=\"912\" "
         "height=\"513\">\n";
  Carla carla{ctx, {}};
  int number = 0;
  do {
    ++number;
    out << "      <track muted=\"0\" type=\"0\" name=\"Track " << number
        << "\" solo=\"0\">\n"
        << "        <instrumenttrack vol=\"100\" pan=\"0\" pitch=\"0\" basenote=\"57\" "
        << "usemasterpitch=\"1\" pitchrange=\"1\" fxch=\"0\">\n";
    const std::vector<Device> devices = ctx.devices(5, 30);
    // The instrument: the host's own, a VST, an LV2 synth or a Carla rack.
    const std::uint64_t kind = ctx.random.below(100);
    const CataloguePlugin& p = ctx.pick();
    const bool vst = kind >= 40 && kind < 70 && p.tech == Tech::kVst2;
    const bool lv2 = kind >= 70 && kind < 85 && p.tech == Tech::kLv2;
    if (!vst && !lv2 && kind < 85) {
      out << "          <instrument name=\"tripleoscillator\">\n"
          << "            <tripleoscillator vol0=\"33\" pan0=\"0\" coarse0=\"0\"/>\n"
          << "          </instrument>\n";
    } else if (vst) {
      const std::string path = "C:/VST/" + p.file;
      out << "          <instrument name=\"vestige\">\n            <vestige plugin=\"";
      out.escaped(path) << "\" chunk=\"" << ctx.base64(ctx.stateSize())
                        << "\" numparams=\"0\"/>\n          </instrument>\n";
      const std::string stem = p.file.substr(0, p.file.rfind('.'));
      ctx.expected.add({"VST2", "", stem, "", p.file, "", 1, p.host});
    } else if (lv2) {
      out << "          <instrument name=\"lv2instrument\">\n            "
             "<lv2instrument>\n"
          << "              <key>\n                <attribute name=\"uri\" value=\"";
      out.escaped(p.textId)
          << "\"/>\n              </key>\n            </lv2instrument>\n"
          << "          </instrument>\n";
      ctx.expected.add({"LV2", "", "", p.textId, "", "", 1, p.host});
    } else {
      out << "          <instrument name=\"carlarack\">\n            <carlarack>\n";
      out << "<CARLA-PROJECT VERSION='2.0'>\n";
      for (const Device& d : ctx.devices(4, 15))
        carla.plugin(out, d, 0);
      out << "</CARLA-PROJECT>\n            </carlarack>\n          </instrument>\n";
    }
    out << "          <eldata fres=\"0.5\" ftype=\"0\" fcut=\"14000\" fwet=\"0\">\n"
        << "            <elvol lspd=\"0.1\" amt=\"0\" pdel=\"0\" att=\"0\" "
           "rel=\"0.1\"/>\n"
        << "          </eldata>\n"
        << "          <fxchain numofeffects=\"" << devices.size()
        << "\" enabled=\"1\">\n";
    std::vector<const Device*> flat;
    for (const Device& d : devices) {
      if (d.rack) {
        for (const Device& c : d.children)
          flat.push_back(&c);
      } else {
        flat.push_back(&d);
      }
    }
    for (const Device* d : flat) {
      out << "            <effect on=\"" << (d->bypassed ? 0 : 1)
          << "\" wet=\"1\" autoquit=\"1\" gate=\"0\" name=\"";
      const CataloguePlugin* e = d->plugin;
      if (e == nullptr) {
        out << "stereomatrix\">\n              <stereomatrixcontrols l-l=\"1\" "
               "r-r=\"1\"/>\n";
      } else if (e->tech == Tech::kLadspa) {
        // Libraries are written with and without their extension.
        const bool bare = ctx.random.chance(30);
        const std::string library =
            bare ? e->file.substr(0, e->file.size() - 3) : e->file;
        out << "ladspaeffect\">\n              <ladspacontrols ports=\"2\">\n"
            << "                <port00 data=\"0.5\"/>\n                <port01 "
               "data=\"1\"/>\n"
            << "              </ladspacontrols>\n              <key>\n"
            << "                <attribute name=\"file\" value=\"" << library << "\"/>\n"
            << "                <attribute name=\"plugin\" value=\"" << e->label
            << "\"/>\n"
            << "              </key>\n";
        ctx.expected.add({"LADSPA", "", e->label, "", library, "", 1, e->host});
      } else if (e->tech == Tech::kLv2) {
        out << "lv2effect\">\n              <lv2controls/>\n              <key>\n"
            << "                <attribute name=\"uri\" value=\"";
        out.escaped(e->textId) << "\"/>\n              </key>\n";
        ctx.expected.add({"LV2", "", "", e->textId, "", "", 1, e->host});
      } else {
        const std::string path = "C:/VST/" + e->file;
        out << "vsteffect\">\n              <vsteffectcontrols plugin=\"";
        out.escaped(path) << "\" chunk=\"" << ctx.base64(d->state)
                          << "\" numparams=\"0\"/>\n              <key>\n"
                          << "                <attribute name=\"file\" value=\"";
        out.escaped(path) << "\"/>\n              </key>\n";
        const std::string stem = e->file.substr(0, e->file.rfind('.'));
        ctx.expected.add({"VST2", "", stem, "", e->file, "", 1, e->host});
      }
      out << "            </effect>\n";
    }
    out << "          </fxchain>\n        </instrumenttrack>\n"
        << "        <pattern muted=\"0\" type=\"1\" steps=\"16\" pos=\"0\" name=\"\">\n";
    for (int i = 0; i < 48; ++i) {
      out << "          <note key=\"" << 40 + ctx.random.below(30)
          << "\" vol=\"100\" pos=\"" << i * 12 << "\" pan=\"0\" len=\"12\"/>\n";
    }
    out << "        </pattern>\n      </track>\n";
  } while (out.written() < target || number < 2);
  out << "    </trackcontainer>\n  </song>\n</lmms-project>\n";
}

namespace {

void studioOneDevice(Out& out, Context& ctx, const Device& d, const char* indent,
                     std::vector<std::size_t>& stateFiles) {
  std::string classId;
  std::string name;
  std::string category;
  if (d.plugin == nullptr) {
    static const char* const kOwn[] = {"Pro EQ", "Compressor", "Room Reverb", "Mixverb"};
    name = kOwn[ctx.random.below(std::size(kOwn))];
    classId = ctx.guid();
    category = "(Native)";
  } else {
    const CataloguePlugin& p = *d.plugin;
    name = p.name;
    if (p.tech == Tech::kVst3) {
      classId = dashed(p.id());
      category = "VST3";
    } else if (p.tech == Tech::kVst2) {
      classId = dashed(p.vst2AsGuid());
      category = "VST2";
    } else {
      classId = ctx.guid();
      category = "AU";
    }
    ctx.expected.add({techName(p.tech), "", p.name, p.tech == Tech::kAu ? "" : p.id(), "",
                      "", 1, p.host});
  }
  out << indent << "<Attributes x:id=\"" << ctx.guid() << "\" name=\"";
  out.escaped(name) << "\" deviceType=\"" << (d.plugin && d.plugin->instrument ? 1 : 0)
                    << "\">\n"
                    << indent << "  <Attributes x:id=\"classInfo\" classID=\"" << classId
                    << "\" name=\"";
  out.escaped(name) << "\" category=\"AudioEffect\" subCategory=\"" << category
                    << "\"/>\n"
                    << indent << "  <Attributes x:id=\"ghostData\" bypass=\""
                    << (d.bypassed ? 1 : 0) << "\"/>\n"
                    << indent << "  <Url x:id=\"presetPath\" url=\"Presets/state-"
                    << stateFiles.size() << ".bin\"/>\n"
                    << indent << "  <List x:id=\"parameters\">\n";
  for (std::size_t i = 0; i < d.state / 2500 + 1 && i < 200; ++i)
    out << indent << "    <Param name=\"p" << i << "\" value=\"0.5\" flags=\"1\"/>\n";
  out << indent << "  </List>\n" << indent << "</Attributes>\n";
  stateFiles.push_back(d.state);
}

void studioOneDevices(Out& out, Context& ctx, const std::vector<Device>& list,
                      const char* indent, std::vector<std::size_t>& stateFiles) {
  for (const Device& d : list) {
    if (d.rack)
      studioOneDevices(out, ctx, d.children, indent, stateFiles);
    else
      studioOneDevice(out, ctx, d, indent, stateFiles);
  }
}

}  // namespace

void writeStudioOneMixer(Out& out, Context& ctx, std::uint64_t target,
                         std::vector<std::size_t>& stateFiles) {
  out << "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<AudioMixer>\n"
      << "  <ChannelGroup name=\"AudioTrack\" flags=\"1\">\n";
  int number = 0;
  do {
    ++number;
    out << "    <AudioTrackChannel label=\"Track " << number << "\" x:id=\"" << ctx.guid()
        << "\" channelMode=\"2\">\n"
        << "      <UID uid=\"" << ctx.guid() << "\"/>\n"
        << "      <Connection x:id=\"destination\" objectID=\"" << ctx.guid()
        << "/Output\"/>\n"
        << "      <Attributes x:id=\"volume\" value=\"0.7\"/>\n"
        << "      <Attributes x:id=\"Inserts\" name=\"Inserts\">\n";
    studioOneDevices(out, ctx, ctx.devices(5), "        ", stateFiles);
    out << "      </Attributes>\n    </AudioTrackChannel>\n";
  } while (out.written() < target || number < 2);
  out << "  </ChannelGroup>\n</AudioMixer>\n";
}

void writeStudioOneSynths(Out& out, Context& ctx, std::uint64_t target,
                          std::vector<std::size_t>& stateFiles) {
  out << "\xef\xbb\xbf<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<AudioSynthFolder>\n";
  do {
    out << "  <Attributes x:id=\"synthSlot\" name=\"Instruments\">\n";
    std::vector<Device> synth(1);
    synth[0].plugin = &ctx.pick();
    synth[0].state = ctx.stateSize();
    studioOneDevices(out, ctx, synth, "    ", stateFiles);
    out << "  </Attributes>\n";
  } while (out.written() < target);
  out << "</AudioSynthFolder>\n";
}

}  // namespace vernatto::bench
