// Live sets: gzip of XML, tab-indented; plug-ins as PluginDevice and
// AuPluginDevice anywhere in a track's devices, racks of racks included.
#include <cstdio>

#include "project_formats.h"

namespace vernatto::bench {

namespace {

const char* const kNativeDevices[] = {"Eq8",        "Compressor2",    "Reverb",
                                      "AutoFilter", "GlueCompressor", "Saturator"};

struct Live {
  Out& out;
  Context& ctx;
  int version;
  std::uint64_t nextId = 20000;

  std::string tabs(int n) const { return std::string(static_cast<std::size_t>(n), '\t'); }

  void value(int indent, const char* tag, std::string_view v) {
    out << tabs(indent) << '<' << tag << " Value=\"";
    out.escaped(v);
    out << "\" />\n";
  }

  void automationTarget(int indent, const char* tag) {
    const std::string t = tabs(indent);
    out << t << '<' << tag << " Id=\"" << nextId++ << "\">\n"
        << t << "\t<LockEnvelope Value=\"0\" />\n"
        << t << "</" << tag << ">\n";
  }

  void parameter(int indent, const char* tag, std::string_view manual) {
    const std::string t = tabs(indent);
    out << t << '<' << tag << ">\n" << t << "\t<LomId Value=\"0\" />\n";
    value(indent + 1, "Manual", manual);
    out << t << "\t<MidiControllerRange>\n"
        << t << "\t\t<Min Value=\"0\" />\n"
        << t << "\t\t<Max Value=\"1\" />\n"
        << t << "\t</MidiControllerRange>\n";
    automationTarget(indent + 1, "AutomationTarget");
    automationTarget(indent + 1, "ModulationTarget");
    out << t << "</" << tag << ">\n";
  }

  void hexBlock(int indent, const char* tag, std::size_t bytes) {
    const std::string t = tabs(indent);
    out << t << '<' << tag << ">\n";
    std::string_view data = ctx.hex(bytes);
    while (!data.empty()) {
      out << t << '\t' << data.substr(0, 80) << '\n';
      data.remove_prefix(data.size() < 80 ? data.size() : 80);
    }
    out << t << "</" << tag << ">\n";
  }

  void deviceHead(int indent, bool bypassed) {
    const std::string t = tabs(indent);
    out << t << "<LomId Value=\"0\" />\n"
        << t << "<LomIdView Value=\"0\" />\n"
        << t << "<IsExpanded Value=\"true\" />\n"
        << t << "<On>\n"
        << t << "\t<LomId Value=\"0\" />\n"
        << t << "\t<Manual Value=\"" << (bypassed ? "false" : "true") << "\" />\n";
    automationTarget(indent + 1, "AutomationTarget");
    out << t << "\t<MidiCCOnOffThresholds>\n"
        << t << "\t\t<Min Value=\"64\" />\n"
        << t << "\t\t<Max Value=\"127\" />\n"
        << t << "\t</MidiCCOnOffThresholds>\n"
        << t << "</On>\n"
        << t << "<ModulationSourceCount Value=\"0\" />\n"
        << t << "<ParametersListWrapper LomId=\"0\" />\n"
        << t << "<Pointee Id=\"" << nextId++ << "\" />\n"
        << t << "<LastSelectedTimeableIndex Value=\"0\" />\n"
        << t << "<LastSelectedClipEnvelopeIndex Value=\"0\" />\n"
        << t << "<LastPresetRef>\n"
        << t << "\t<Value />\n"
        << t << "</LastPresetRef>\n"
        << t << "<LockedScripts />\n"
        << t << "<IsFolded Value=\"false\" />\n"
        << t << "<ShouldShowPresetName Value=\"true\" />\n"
        << t << "<UserName Value=\"\" />\n"
        << t << "<Annotation Value=\"\" />\n";
  }

  static std::string urlEncoded(std::string_view text) {
    std::string result;
    for (char c : text) {
      const auto u = static_cast<unsigned char>(c);
      if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
          c == '-' || c == '_' || c == '.') {
        result += c;
      } else {
        char code[4];
        std::snprintf(code, sizeof code, "%%%02X", u);
        result += code;
      }
    }
    return result;
  }

  void sourceContext(int indent, const CataloguePlugin& p) {
    const std::string t = tabs(indent);
    out << t << "<SourceContext>\n"
        << t << "\t<Value>\n"
        << t << "\t\t<BranchSourceContext Id=\"0\">\n"
        << t << "\t\t\t<OriginalFileRef />\n";
    const char* kind = p.tech == Tech::kVst3 ? "VST3"
                       : p.tech == Tech::kAu ? "AU"
                                             : "VST";
    value(indent + 3, "BrowserContentPath",
          std::string("query:Plugins#") + kind + ":" + urlEncoded(p.vendor) + ":" +
              urlEncoded(p.name));
    out << t << "\t\t\t<PresetRef />\n"
        << t << "\t\t</BranchSourceContext>\n"
        << t << "\t</Value>\n"
        << t << "</SourceContext>\n";
  }

  void presetHead(int indent) {
    const std::string t = tabs(indent);
    out << t << "<OverwriteProtectionNumber Value=\"2819\" />\n"
        << t << "<MpeEnabled Value=\"0\" />\n"
        << t << "<ParameterSettings />\n"
        << t << "<IsOn Value=\"true\" />\n"
        << t << "<PowerMacroControlIndex Value=\"-1\" />\n"
        << t << "<IsFolded Value=\"false\" />\n"
        << t << "<StoredAllParameters Value=\"true\" />\n"
        << t << "<DeviceLomId Value=\"0\" />\n";
  }

  std::string presetName() {
    static const char* const kNames[] = {"",        "",       "Init", "Large Gated Snare",
                                         "Vox Air", "Default"};
    return kNames[ctx.random.below(std::size(kNames))];
  }

  void vst2Info(int indent, const CataloguePlugin& p, std::size_t state) {
    const std::string t = tabs(indent);
    out << t << "<VstPluginInfo Id=\"0\">\n"
        << t << "\t<WinPosX Value=\"-1\" />\n"
        << t << "\t<WinPosY Value=\"-1\" />\n";
    std::string file = p.file;
    if (version < 10) {
      out << t << "\t<Dir>\n"
          << t << "\t\t<RelativePathType Value=\"0\" />\n"
          << t << "\t\t<Name Value=\"VST\" />\n"
          << t << "\t</Dir>\n";
      value(indent + 1, "FileName", file);
    } else {
      const bool windows =
          file.size() > 4 && file.compare(file.size() - 4, 4, ".dll") == 0;
      value(indent + 1, "Path",
            windows ? "C:\\Program Files\\VSTPlugins\\" + p.vendor + "\\" + file
                    : "/usr/lib/vst/" + file);
    }
    value(indent + 1, "PlugName", p.name);
    value(indent + 1, "UniqueId", std::to_string(static_cast<std::int32_t>(p.code)));
    out << t << "\t<Preset>\n" << t << "\t\t<VstPreset Id=\"" << nextId++ << "\">\n";
    presetHead(indent + 3);
    out << t << "\t\t\t<Type Value=\"1178747752\" />\n";
    hexBlock(indent + 3, "Buffer", state);
    value(indent + 3, "Name", presetName());
    value(indent + 3, "UniqueId", std::to_string(static_cast<std::int32_t>(p.code)));
    out << t << "\t\t</VstPreset>\n"
        << t << "\t</Preset>\n"
        << t << "\t<Version Value=\"262144\" />\n"
        << t << "</VstPluginInfo>\n";
    ctx.expected.add({"VST2", "", p.name, p.id(), file, "", 1, p.host});
  }

  void uid(int indent, const CataloguePlugin& p) {
    const std::string t = tabs(indent);
    out << t << "<Uid>\n";
    for (int i = 0; i < 4; ++i) {
      out << t << "\t<Fields." << i << " Value=\""
          << static_cast<std::int64_t>(static_cast<std::int32_t>(p.words[i]))
          << "\" />\n";
    }
    out << t << "</Uid>\n";
  }

  void vst3Info(int indent, const CataloguePlugin& p, std::size_t state) {
    const std::string t = tabs(indent);
    out << t << "<Vst3PluginInfo Id=\"0\">\n"
        << t << "\t<WinPosX Value=\"230\" />\n"
        << t << "\t<WinPosY Value=\"186\" />\n"
        << t << "\t<Preset>\n"
        << t << "\t\t<Vst3Preset Id=\"" << nextId++ << "\">\n";
    presetHead(indent + 3);
    uid(indent + 3, p);
    hexBlock(indent + 3, "ProcessorState", state * 3 / 4);
    hexBlock(indent + 3, "ControllerState", state / 4);
    value(indent + 3, "Name", presetName());
    out << t << "\t\t</Vst3Preset>\n" << t << "\t</Preset>\n";
    value(indent + 1, "Name", p.name);
    uid(indent + 1, p);
    out << t << "\t<DeviceType Value=\"" << (p.instrument ? 1 : 2) << "\" />\n"
        << t << "</Vst3PluginInfo>\n";
    ctx.expected.add({"VST3", p.vendor, p.name, p.id(), "", "", 1, p.host});
  }

  void auInfo(int indent, const CataloguePlugin& p, std::size_t state) {
    const std::string t = tabs(indent);
    out << t << "<AuPluginInfo Id=\"0\">\n";
    value(indent + 1, "Name", p.name);
    value(indent + 1, "Manufacturer", p.vendor);
    value(indent + 1, "ComponentType", std::to_string(p.au[0]));
    value(indent + 1, "ComponentSubType", std::to_string(p.au[1]));
    value(indent + 1, "ComponentManufacturer", std::to_string(p.au[2]));
    out << t << "\t<Preset>\n" << t << "\t\t<AuPreset Id=\"" << nextId++ << "\">\n";
    presetHead(indent + 3);
    hexBlock(indent + 3, "Buffer", state);
    value(indent + 3, "Name", presetName());
    out << t << "\t\t</AuPreset>\n" << t << "\t</Preset>\n" << t << "</AuPluginInfo>\n";
    ctx.expected.add({"AU", p.vendor, p.name, p.id(), "", "", 1, p.host});
  }

  void plugin(int indent, const Device& d) {
    const CataloguePlugin& p = *d.plugin;
    const char* tag = p.tech == Tech::kAu ? "AuPluginDevice" : "PluginDevice";
    const std::string t = tabs(indent);
    out << t << '<' << tag << " Id=\"" << nextId++ << "\">\n";
    deviceHead(indent + 1, d.bypassed);
    sourceContext(indent + 1, p);
    out << t << "\t<PluginDesc>\n";
    if (p.tech == Tech::kVst2)
      vst2Info(indent + 2, p, d.state);
    else if (p.tech == Tech::kVst3)
      vst3Info(indent + 2, p, d.state);
    else
      auInfo(indent + 2, p, d.state);
    out << t << "\t</PluginDesc>\n" << t << "\t<ParameterList>\n";
    const std::uint64_t parameters = ctx.random.below(24);
    for (std::uint64_t i = 0; i < parameters; ++i) {
      const std::string pt = tabs(indent + 2);
      out << pt << "<PluginFloatParameter Id=\"" << i << "\">\n";
      value(indent + 3, "ParameterName", "Param " + std::to_string(i));
      out << pt << "\t<ParameterId Value=\"" << i << "\" />\n"
          << pt << "\t<VisualIndex Value=\"" << i << "\" />\n";
      parameter(indent + 3, "ParameterValue", "0.5");
      out << pt << "</PluginFloatParameter>\n";
    }
    out << t << "\t</ParameterList>\n" << t << "</" << tag << ">\n";
  }

  void native(int indent, const Device& d) {
    const char* tag = kNativeDevices[ctx.random.below(std::size(kNativeDevices))];
    const std::string t = tabs(indent);
    out << t << '<' << tag << " Id=\"" << nextId++ << "\">\n";
    deviceHead(indent + 1, d.bypassed);
    // The host's own devices hold a Name of their own too.
    value(indent + 1, "Name", tag);
    for (std::size_t i = 0; i < d.state / 400 + 1; ++i)
      parameter(indent + 1, "Gain", "1");
    out << t << "</" << tag << ">\n";
  }

  void rack(int indent, const Device& d, bool midi) {
    const bool drum = midi && ctx.random.chance(30);
    const char* group = drum   ? "DrumGroupDevice"
                        : midi ? "InstrumentGroupDevice"
                               : "AudioEffectGroupDevice";
    const char* branch = drum   ? "DrumBranch"
                         : midi ? "InstrumentBranch"
                                : "AudioEffectBranch";
    const char* chain = midi ? "MidiToAudioDeviceChain" : "AudioToAudioDeviceChain";
    const std::string t = tabs(indent);
    out << t << '<' << group << " Id=\"" << nextId++ << "\">\n";
    deviceHead(indent + 1, false);
    out << t << "\t<Branches>\n";
    for (std::size_t i = 0; i < d.children.size(); ++i) {
      out << t << "\t\t<" << branch << " Id=\"" << i << "\">\n";
      value(indent + 3, "Name", "Chain " + std::to_string(i + 1));
      out << t << "\t\t\t<DeviceChain>\n"
          << t << "\t\t\t\t<" << chain << " Id=\"0\">\n"
          << t << "\t\t\t\t\t<Devices>\n";
      device(indent + 6, d.children[i], midi && i == 0);
      out << t << "\t\t\t\t\t</Devices>\n"
          << t << "\t\t\t\t</" << chain << ">\n"
          << t << "\t\t\t</DeviceChain>\n"
          << t << "\t\t</" << branch << ">\n";
    }
    out << t << "\t</Branches>\n" << t << "</" << group << ">\n";
  }

  void device(int indent, const Device& d, bool midi) {
    if (d.rack)
      rack(indent, d, midi);
    else if (d.plugin != nullptr)
      plugin(indent, d);
    else
      native(indent, d);
  }

  void routing(int indent, const char* tag, const char* target) {
    const std::string t = tabs(indent);
    out << t << '<' << tag << ">\n";
    value(indent + 1, "Target", target);
    out << t << "\t<UpperDisplayString Value=\"Ext. In\" />\n"
        << t << "\t<LowerDisplayString Value=\"1/2\" />\n"
        << t << "</" << tag << ">\n";
  }

  void mixer(int indent) {
    const std::string t = tabs(indent);
    out << t << "<Mixer>\n" << t << "\t<LomId Value=\"0\" />\n";
    deviceHead(indent + 1, false);
    parameter(indent + 1, "Speaker", "true");
    parameter(indent + 1, "Volume", "0.7943282127");
    parameter(indent + 1, "Pan", "0");
    parameter(indent + 1, "CrossFadeState", "1");
    out << t << "\t<Sends>\n";
    for (int i = 0; i < 2; ++i) {
      out << t << "\t\t<TrackSendHolder Id=\"" << i << "\">\n";
      parameter(indent + 3, "Send", "0.0003162277571");
      out << t << "\t\t</TrackSendHolder>\n";
    }
    out << t << "\t</Sends>\n" << t << "</Mixer>\n";
  }

  void clipSlots(int indent) {
    const std::string t = tabs(indent);
    out << t << "<ClipSlotList>\n";
    for (int i = 0; i < 8; ++i) {
      out << t << "\t<ClipSlot Id=\"" << i << "\">\n"
          << t << "\t\t<LomId Value=\"0\" />\n"
          << t << "\t\t<ClipSlot>\n"
          << t << "\t\t\t<Value />\n"
          << t << "\t\t</ClipSlot>\n"
          << t << "\t\t<HasStop Value=\"true\" />\n"
          << t << "\t\t<NeedRefreeze Value=\"true\" />\n"
          << t << "\t</ClipSlot>\n";
    }
    out << t << "</ClipSlotList>\n";
  }

  void track(const char* tag, int number, bool midi) {
    out << "\t\t\t<" << tag << " Id=\"" << number << "\">\n";
    out << "\t\t\t\t<LomId Value=\"0\" />\n\t\t\t\t<Name>\n";
    value(5, "EffectiveName", std::to_string(number) + (midi ? "-MIDI" : "-Audio"));
    out << "\t\t\t\t\t<UserName Value=\"\" />\n\t\t\t\t</Name>\n"
        << "\t\t\t\t<Color Value=\"" << ctx.random.below(70) << "\" />\n"
        << "\t\t\t\t<TrackGroupId Value=\"-1\" />\n"
        << "\t\t\t\t<DeviceChain>\n";
    routing(5, "AudioInputRouting", "AudioIn/External/S0");
    routing(5, "MidiInputRouting", "MidiIn/External.All/-1");
    routing(5, "AudioOutputRouting", "AudioOut/Master");
    mixer(5);
    out << "\t\t\t\t\t<MainSequencer>\n";
    clipSlots(6);
    out << "\t\t\t\t\t</MainSequencer>\n\t\t\t\t\t<DeviceChain>\n\t\t\t\t\t\t<Devices>\n";
    for (const Device& d : ctx.devices(5))
      device(7, d, midi);
    out << "\t\t\t\t\t\t</Devices>\n\t\t\t\t\t</DeviceChain>\n\t\t\t\t</DeviceChain>\n"
        << "\t\t\t</" << tag << ">\n";
  }
};

}  // namespace

void writeLive(Out& out, Context& ctx, std::uint64_t target, int liveVersion) {
  Live live{out, ctx, liveVersion};
  const char* creator = liveVersion < 10   ? "Ableton Live 9.7.7"
                        : liveVersion < 12 ? "Ableton Live 11.3.35"
                                           : "Ableton Live 12.1";
  out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<Ableton MajorVersion=\"5\" MinorVersion=\"" << liveVersion
      << ".0_11300\" SchemaChangeCount=\"7\" Creator=\"" << creator
      << "\" Revision=\"bf0676fe4473e44109988d233263c751d7332635\">\n"
      << "\t<LiveSet>\n\t\t<NextPointeeId Value=\"26148\" />\n\t\t<Tracks>\n";
  int number = 0;
  do {
    ++number;
    const bool midi = ctx.random.chance(40);
    live.track(midi ? "MidiTrack" : "AudioTrack", number, midi);
  } while (out.written() < target || number < 2);
  out << "\t\t</Tracks>\n";
  const char* main = liveVersion >= 12 ? "MainTrack" : "MasterTrack";
  out << "\t\t<" << main << ">\n\t\t\t<DeviceChain>\n\t\t\t\t<DeviceChain>\n"
      << "\t\t\t\t\t<Devices>\n";
  for (const Device& d : ctx.devices(0))
    live.device(6, d, false);
  out << "\t\t\t\t\t</Devices>\n\t\t\t\t</DeviceChain>\n\t\t\t</DeviceChain>\n\t\t</"
      << main << ">\n\t</LiveSet>\n</Ableton>\n";
}

}  // namespace vernatto::bench
