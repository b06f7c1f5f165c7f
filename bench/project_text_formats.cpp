// The formats that are not XML: REAPER's text, Cubase's RIFF and Pro Tools'
// session listing.
#include <algorithm>
#include <cstdio>

#include "project_formats.h"

namespace vernatto::bench {

namespace {

// REAPER --------------------------------------------------------------------

struct Reaper {
  Out& out;
  Context& ctx;
  const char* eol;

  void line(const std::string& indent, std::string_view text) {
    out << indent << text << eol;
  }

  void state(const std::string& indent, std::size_t bytes) {
    std::string_view data = ctx.base64(bytes);
    while (!data.empty()) {
      const std::size_t n = data.size() < 128 ? data.size() : 128;
      line(indent, data.substr(0, n));
      data.remove_prefix(n);
    }
  }

  // The display string: "VST3i: Name (Vendor)", sometimes with the channels.
  static std::string display(const char* prefix, const CataloguePlugin& p,
                             bool channels) {
    std::string text = std::string(prefix) + (p.instrument ? "i: " : ": ") + p.name;
    if (!p.vendor.empty())
      text += " (" + p.vendor + ")";
    if (channels)
      text += p.instrument ? " (16 out)" : " (2->8ch)";
    return text;
  }

  void plugin(const std::string& t, const Device& d) {
    const CataloguePlugin& p = *d.plugin;
    const std::string inner = t + "  ";
    line(t, std::string("BYPASS ") + (d.bypassed ? "1" : "0") + " 0 0");
    const bool channels = ctx.random.chance(10);
    switch (p.tech) {
      case Tech::kVst2: {
        std::string id = std::to_string(p.code);
        if (!ctx.random.chance(20))
          id += "<" + p.vst2AsGuid() + ">";
        line(t, "<VST \"" + display("VST", p, channels) + "\" " + p.file + " 0 \"\" " +
                    id + " \"\"");
        ctx.expected.add({"VST2", p.vendor, p.name, p.id(), p.file, "", 1, p.host});
        break;
      }
      case Tech::kVst3:
        line(t, "<VST \"" + display("VST3", p, channels) + "\" " + p.file + " 0 \"\" " +
                    std::to_string(p.words[0] >> 4) + "{" + p.id() + "} \"\"");
        ctx.expected.add({"VST3", p.vendor, p.name, p.id(), p.file, "", 1, p.host});
        break;
      case Tech::kAu:
        line(t, "<AU \"" + display("AU", p, false) + "\" \"" + p.vendor + ": " + p.name +
                    "\" \"\" " + std::to_string(p.au[0]) + " " + std::to_string(p.au[1]) +
                    " " + std::to_string(p.au[2]));
        ctx.expected.add({"AU", p.vendor, p.name, p.id(), "", "", 1, p.host});
        break;
      case Tech::kClap:
        line(t, "<CLAP \"" + display("CLAP", p, channels) + "\" " + p.textId + " \"\"");
        line(inner, "CFG 4 760 0 \"\"");
        ctx.expected.add({"CLAP", p.vendor, p.name, p.id(), "", "", 1, p.host});
        break;
      case Tech::kLv2:
        line(t, "<LV2 \"" + display("LV2", p, channels) + "\" " + p.textId + " \"\"");
        ctx.expected.add({"LV2", p.vendor, p.name, p.id(), "", "", 1, p.host});
        break;
      default:
        line(t, "<JS " + p.textId + " \"\"");
        line(inner, "0 0 0 - - - - - - - - - - - - - - - -");
        ctx.expected.add({"JS", "", p.name, "", "", "", 1, true});
        line(t, ">");
        return;
    }
    state(inner, d.state);
    line(t, ">");
    line(t, "FLOATPOS 0 0 0 0");
    line(t, "FXID " + ctx.guid());
    line(t, "WAK 0 0");
  }

  void devices(const std::string& t, const std::vector<Device>& list) {
    for (const Device& d : list) {
      if (d.rack) {
        line(t, "<CONTAINER Container \"Rack\" \"\"");
        line(t + "  ", "CONTAINER_CFG 2 2 2 0");
        line(t + "  ", "SHOW 0");
        line(t + "  ", "LASTSEL 0");
        line(t + "  ", "DOCKED 0");
        devices(t + "  ", d.children);
        line(t, ">");
      } else if (d.plugin != nullptr) {
        plugin(t, d);
      }
    }
  }

  void chain(const std::string& t, const char* tag, const std::vector<Device>& list) {
    line(t, std::string("<") + tag);
    line(t + "  ", "WNDRECT 24 52 655 408");
    line(t + "  ", "SHOW 0");
    line(t + "  ", "LASTSEL 0");
    line(t + "  ", "DOCKED 0");
    devices(t + "  ", list);
    line(t, ">");
  }

  void track(int number, bool inSnapshot) {
    const std::string t = inSnapshot ? "      " : "  ";
    const std::string i = t + "  ";
    line(t, "<TRACK " + ctx.guid());
    line(i, "NAME \"Track " + std::to_string(number) + "\"");
    line(i, "PEAKCOL 16576");
    line(i, "BEAT -1");
    line(i, "AUTOMODE 0");
    line(i, "VOLPAN 1 0 -1 -1 1");
    line(i, "MUTESOLO 0 0 0");
    line(i, "IPHASE 0");
    line(i, "ISBUS 0 0");
    line(i, "BUSCOMP 0 0 0 0 0");
    line(i, "SHOWINMIX 1 0.6667 0.5 1 0.5 0 0 0");
    line(i, "REC 0 0 1 0 0 0 0");
    line(i, "VU 2");
    line(i, "TRACKHEIGHT 0 0 0 0 0 0");
    line(i, "INQ 0 0 0 0.5 100 0 0 100");
    line(i, "NCHAN 2");
    line(i, "FX 1");
    line(i, "TRACKID " + ctx.guid());
    line(i, "MAINSEND 1 0");
    if (inSnapshot) {
      // A snapshot's copy of a track: not what the project uses.
      line(i, "<FXCHAIN");
      line(i + "  ", "<VST \"VST: Snapshot Ghost (Nobody)\" ghost.dll 0 \"\" 1 \"\"");
      line(i + "    ", "AAAA");
      line(i + "  ", ">");
      line(i, ">");
    } else {
      chain(i, "FXCHAIN", ctx.devices(5, 0));
      for (int item = 0; item < 4; ++item) {
        line(i, "<ITEM");
        line(i + "  ", "POSITION " + std::to_string(item * 8));
        line(i + "  ", "LENGTH 8");
        line(i + "  ", "IGUID " + ctx.guid());
        line(i + "  ", "NAME \"take\"");
        line(i + "  ", "<SOURCE WAVE");
        line(i + "    ", "FILE \"Audio/take-" + std::to_string(item) + ".wav\"");
        line(i + "  ", ">");
        line(i, ">");
      }
    }
    line(t, ">");
  }
};

// Cubase --------------------------------------------------------------------

struct Riff {
  std::string bytes;

  void be32(std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
      bytes += static_cast<char>((v >> shift) & 0xff);
  }
  void raw(std::string_view text) { bytes.append(text); }
  // A name inside an archive: length with the NUL, the text, the NUL.
  void name(std::string_view text) {
    be32(static_cast<std::uint32_t>(text.size() + 1));
    raw(text);
    bytes += '\0';
  }
  void container(std::string_view key, std::uint32_t count) {
    name(key);
    raw(std::string_view("\x00\x02\x00\x06", 4));
    be32(count);
  }
  // A text value: its length counts the NUL and the byte order mark after it.
  void text(std::string_view key, std::string_view value) {
    name(key);
    raw(std::string_view("\x00\x08", 2));
    be32(static_cast<std::uint32_t>(value.size() + 4));
    raw(value);
    raw(std::string_view("\x00\xef\xbb\xbf", 4));
  }
  void integer(std::string_view key, std::uint32_t value) {
    name(key);
    raw(std::string_view("\x00\x01", 2));
    be32(0);
    be32(value);
  }
  void blob(std::string_view key, std::string_view data) {
    name(key);
    raw(std::string_view("\x00\x10", 2));
    be32(static_cast<std::uint32_t>(data.size()));
    raw(data);
  }
};

void cubasePlugin(Riff& arch, Context& ctx, const std::string& guid,
                  const std::string& name, const std::string& original,
                  std::size_t state) {
  arch.name("VstCtrlInternalEffect");
  arch.container("Plugin", 17);
  arch.container("Plugin UID", 1);
  arch.text("GUID", guid);
  arch.text("Plugin Name", name);
  if (!original.empty())
    arch.text("Original Plugin Name", original);
  arch.integer("Audio Input Count", 1);
  arch.integer("Audio Output Count", 1);
  // A plug-in's state is binary in this format; the base64 pool stands in for
  // its bytes.
  arch.blob("audioComponent", ctx.base64(state));
}

void cubaseDevices(Riff& arch, Context& ctx, const std::vector<Device>& list) {
  for (const Device& d : list) {
    if (d.rack) {
      cubaseDevices(arch, ctx, d.children);
      continue;
    }
    if (d.plugin == nullptr) {
      cubasePlugin(arch, ctx, "297BA567D83144E1AE921DEF07B41156", "EQ", "", d.state);
      continue;
    }
    const CataloguePlugin& p = *d.plugin;
    const bool renamed = p.instrument && ctx.random.chance(50);
    const std::string guid = p.tech == Tech::kVst2 ? p.vst2AsGuid() : p.id();
    cubasePlugin(arch, ctx, guid, renamed ? "Lead Vocal Synth" : p.name,
                 renamed ? p.name : "", d.state);
    ctx.expected.add({techName(p.tech), "", p.name, p.id(), "", "", 1, p.host});
  }
}

void chunk(Riff& file, const char* id, const std::string& data) {
  file.raw(id);
  file.be32(static_cast<std::uint32_t>(data.size()));
  file.raw(data);
}

std::string rootChunk(std::string_view first, std::string_view second) {
  Riff root;
  root.be32(static_cast<std::uint32_t>(first.size()));
  root.raw(first);
  root.be32(static_cast<std::uint32_t>(second.size()));
  root.raw(second);
  return root.bytes;
}

// Pro Tools -----------------------------------------------------------------

std::string padded(const std::string& text, std::size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

}  // namespace

void writeReaper(Out& out, Context& ctx, std::uint64_t target) {
  Reaper r{out, ctx, ctx.random.chance(50) ? "\r\n" : "\n"};
  r.line("", "<REAPER_PROJECT 0.1 \"7.11/linux-x86_64\" 1700000000");
  for (const char* header : {"RIPPLE 0",
                             "GROUPOVERRIDE 0 0 0",
                             "AUTOXFADE 129",
                             "ENVATTACH 3",
                             "MIXERUIFLAGS 11 48",
                             "PEAKGAIN 1",
                             "FEEDBACK 0",
                             "PANLAW 1",
                             "PROJOFFS 0 0 0",
                             "MAXPROJLEN 0 600",
                             "GRID 3199 8 1 8 1 0 0 0",
                             "TIMEMODE 1 5 -1 30 0 0 -1",
                             "PANMODE 3",
                             "CURSOR 0",
                             "ZOOM 100 0 0",
                             "VZOOMEX 6 0",
                             "USE_REC_CFG 0",
                             "RECMODE 1",
                             "LOOP 0",
                             "LOOPGRAN 0 4",
                             "RECORD_PATH \"Media\" \"\"",
                             "RENDER_FILE \"\"",
                             "SAMPLERATE 48000 0 0",
                             "TEMPO 120 4 4",
                             "PLAYRATE 1 0 0.25 4",
                             "MASTER_NCH 2 2",
                             "MASTER_VOLUME 1 0 -1 -1 1",
                             "MASTER_FX 1"})
    r.line("  ", header);
  if (ctx.random.chance(50))
    r.chain("  ", "MASTERFXLIST", ctx.devices(0, 0));
  int number = 0;
  do {
    r.track(++number, false);
  } while (out.written() < target || number < 2);
  if (ctx.random.chance(30)) {
    r.line("  ", "<EXTENSIONS");
    r.line("    ", "<SNAPSHOT 1 \"Before the mix\"");
    r.track(1, true);
    r.line("    ", ">");
    r.line("  ", ">");
  }
  r.line("", ">");
}

std::string makeCubase(Context& ctx, std::uint64_t target) {
  Riff version;
  version.raw(std::string_view("\xff\xff\xff\xfe", 4));
  version.name("CmObject");
  version.raw(std::string_view("\x00\x00\x00\x00", 4));
  version.name("PAppVersion");
  version.name("Cubase");
  version.name("Version 13.0.41");
  version.name("WIN64");
  version.name("UTF-8");

  Riff arch;
  arch.raw(std::string_view("\xff\xff\xff\xfe", 4));
  arch.name("GDocument");
  arch.name("PArrangement");
  int number = 0;
  do {
    ++number;
    arch.name("MAudioTrackEvent");
    arch.text("Name", "Audio " + std::to_string(number));
    arch.integer("Flags", 4);
    // Every channel has the host's own panner and input filter.
    cubasePlugin(arch, ctx, "44E1149EDB3E4387BDD827FEA3A39EE7", "Standard Panner", "",
                 200);
    if (ctx.random.chance(30))
      cubasePlugin(arch, ctx, "D56B9C6CA4F946018EED73EB83A74B58", "Input Filter", "",
                   200);
    cubaseDevices(arch, ctx, ctx.devices(5));
    for (int event = 0; event < 16; ++event) {
      arch.name("MAudioEvent");
      arch.integer("Start", static_cast<std::uint32_t>(event) * 96000u);
      arch.integer("Length", 96000);
      arch.text("File", "Audio/Audio " + std::to_string(number) + "_" +
                            std::to_string(event) + ".wav");
    }
  } while (arch.bytes.size() < target || number < 2);

  Riff body;
  body.raw("NUND");
  chunk(body, "ROOT", rootChunk("Version", "PAppVersion"));
  chunk(body, "ARCH", version.bytes);
  chunk(body, "ROOT", rootChunk("Arrangement1", "PArrangement"));
  chunk(body, "ARCH", arch.bytes);
  Riff file;
  chunk(file, "RIFF", body.bytes);
  return file.bytes;
}

void writeProToolsText(Out& out, Context& ctx, std::uint64_t target) {
  const char* eol = ctx.random.chance(30) ? "\r\n" : "\n";
  out << "SESSION NAME:\tSession" << eol << "SAMPLE RATE:\t48000.000000" << eol
      << "BIT DEPTH:\t24-bit" << eol << "SESSION START TIMECODE:\t00:00:00:00" << eol
      << "TIMECODE FORMAT:\t25 Frame" << eol << "# OF AUDIO TRACKS:\t64" << eol << eol
      << eol << "O N L I N E  F I L E S  I N  S E S S I O N" << eol
      << "Filename\tLocation" << eol;
  for (int i = 0; i < 200; ++i)
    out << "Audio_" << i << ".wav\tMacintosh HD:Sessions:Session:Audio Files:" << eol;
  out << eol << eol << "P L U G - I N S  L I S T I N G" << eol
      << "MANUFACTURER            \tPLUG-IN NAME            \tVERSION         \t"
      << "FORMAT          \tSTEMS                   \tNUMBER OF INSTANCES" << eol;
  // Rows sorted by maker, as the host writes them; a maker is written once.
  std::vector<const CataloguePlugin*> used;
  const std::uint64_t count = 5 + ctx.random.below(40);
  for (std::uint64_t i = 0; i < count; ++i)
    used.push_back(&ctx.pick());
  std::sort(used.begin(), used.end(),
            [](const CataloguePlugin* a, const CataloguePlugin* b) {
              return a->vendor != b->vendor ? a->vendor < b->vendor : a->name < b->name;
            });
  used.erase(std::unique(used.begin(), used.end()), used.end());
  std::string lastMaker;
  for (const CataloguePlugin* p : used) {
    const int stems = ctx.random.chance(20) ? 2 : 1;
    for (int s = 0; s < stems; ++s) {
      const std::uint64_t active = 1 + ctx.random.below(4);
      const std::uint64_t inactive = ctx.random.chance(20) ? 1 : 0;
      out << padded(p->vendor == lastMaker ? "" : p->vendor, 24) << '\t'
          << padded(p->name, 24) << '\t' << padded(p->version, 16) << '\t'
          << padded(ctx.random.chance(80) ? "AAX Native" : "AAX DSP", 16) << '\t'
          << padded(s == 0 ? "Stereo / Stereo" : "Mono / Mono", 24) << '\t' << active
          << " active";
      if (inactive > 0)
        out << ", " << inactive << " inactive";
      out << eol;
      lastMaker = p->vendor;
      ctx.expected.add(
          {"AAX", p->vendor, p->name, "", "", p->version, active + inactive, p->host});
    }
  }
  out << eol << eol << "T R A C K  L I S T I N G" << eol;
  int number = 0;
  while (out.written() < target || number < 2) {
    ++number;
    out << "TRACK NAME:\tAudio " << number << eol << "COMMENTS:\t" << eol
        << "USER DELAY:\t0 Samples" << eol << "STATE: " << eol << "PLUG-INS: ";
    for (std::size_t i = 0; i < 3 && i < used.size(); ++i)
      out << '\t' << used[ctx.random.below(used.size())]->name << " (stereo)";
    out << eol << "CHANNEL \tEVENT   \tCLIP NAME                     \tSTART TIME    \t"
        << "END TIME      \tDURATION      \tSTATE" << eol;
    for (int event = 1; event <= 60; ++event) {
      out << "1       \t" << padded(std::to_string(event), 8) << '\t'
          << padded("Audio " + std::to_string(number) + "_" + std::to_string(event), 30)
          << "\t00:00:" << (event % 60 < 10 ? "0" : "") << event % 60
          << ":00   \t00:01:00:00   \t00:00:04:00   \tUnmuted" << eol;
    }
    out << eol << eol;
  }
}

}  // namespace vernatto::bench
