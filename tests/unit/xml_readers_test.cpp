#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <sstream>

#include "daw/inflate.h"
#include "daw/readers.h"
#include "daw/xml.h"

namespace vernatto::daw {
namespace {

using Reader = void (*)(std::istream&, ProjectReading&);

// The references in reference order, one a line, then the problem.
std::string listing(Reader read, const std::string& bytes) {
  std::istringstream in(bytes);
  ProjectReading reading;
  read(in, reading);
  std::string out;
  for (const Reference& r : reading.references.sorted())
    out += r.technology + "|" + r.vendor + "|" + r.name + "|" + r.id + "|" + r.file +
           "|" + std::to_string(r.instances) + (r.host ? "|host\n" : "\n");
  return reading.complete ? out : out + "! " + reading.problem + "\n";
}

std::string deflated(const std::string& text, int windowBits) {
  z_stream z{};
  deflateInit2(&z, 9, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, static_cast<uLong>(text.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::string repeated(const std::string& text, std::size_t times) {
  std::string out;
  while (times-- > 0)
    out += text;
  return out;
}

std::string gzipped(const std::string& text) {
  return deflated(text, 16 + MAX_WBITS);
}
// As LMMS writes .mmpz: the length, big-endian, then a zlib stream.
std::string mmpz(const std::string& text) {
  const auto n = static_cast<std::uint32_t>(text.size());
  return std::string{static_cast<char>(n >> 24), static_cast<char>(n >> 16),
                     static_cast<char>(n >> 8), static_cast<char>(n)} +
         deflated(text, MAX_WBITS);
}

// A rack holding a VST3 whose preset carries a name and id of its own, a
// VST2 twice (Windows path, then Live 9's FileName), an AU and a Live device.
const std::string kLive = R"(<?xml version="1.0" encoding="UTF-8"?>
<Ableton Creator="Ableton Live 12.0"><LiveSet><Tracks><AudioTrack><DeviceChain><Devices>
<AudioEffectGroupDevice><Branches><AudioEffectBranch><DeviceChain><Devices>
<PluginDevice Id="0"><SourceContext><Value><BranchSourceContext>
<BrowserContentPath Value="query:Plugins#VST3:Caf%C3%A9%20Audio:D%C3%A9lai"/>
</BranchSourceContext></Value></SourceContext><PluginDesc><Vst3PluginInfo Id="0">
<Preset><Vst3Preset><Name Value="My preset"/><Uid><Fields.0 Value="1"/><Fields.1 Value="2"/>
<Fields.2 Value="3"/><Fields.3 Value="4"/></Uid></Vst3Preset></Preset>
<Name Value=" Délai 音 "/><Uid><Fields.0 Value="1098019957"/><Fields.1 Value="-1"/>
<Fields.2 Value="0"/><Fields.3 Value="1349676899"/></Uid></Vst3PluginInfo></PluginDesc>
</PluginDevice></Devices></DeviceChain></AudioEffectBranch></Branches></AudioEffectGroupDevice>
<PluginDevice><PluginDesc><VstPluginInfo><Path Value="C:\VST\Massive x64.dll"/>
<PlugName Value="Massive"/><UniqueId Value="-2"/></VstPluginInfo></PluginDesc></PluginDevice>
<AuPluginDevice><PluginDesc><AuPluginInfo><ComponentType Value="1635085685"/>
<ComponentSubType Value="1315530296"/><ComponentManufacturer Value="760105261"/>
<Name Value="FM8"/><Manufacturer Value="Native Instruments"/></AuPluginInfo></PluginDesc>
</AuPluginDevice><PluginDevice><PluginDesc><VstPluginInfo><FileName Value="Massive.vst"/>
<PlugName Value="Massive"/><UniqueId Value="4294967294"/></VstPluginInfo></PluginDesc>
</PluginDevice><Eq8/></Devices></DeviceChain></AudioTrack></Tracks></LiveSet></Ableton>)";
const std::string kLiveRead =
    "VST2||Massive|4294967294|Massive x64.dll|2\n"
    "VST3|Café Audio|Délai 音|41727475FFFFFFFF0000000050726F63||1\n"
    "AU|Native Instruments|FM8|1635085685 1315530296 760105261||1\n";

const std::string kLmms = R"(<?xml version="1.0"?>
<!DOCTYPE lmms-project>
<lmms-project version="22"><song><trackcontainer><track><instrumenttrack>
<instrument name="vestige"><vestige plugin="C:/VST/Synth1 VST.dll"/></instrument><fxchain>
<effect name="ladspaeffect"><key><attribute name="file" value="caps"/>
<attribute name="plugin" value="Plate2x2"/></key></effect>
<effect name="lv2effect"><key><attribute name="uri" value="urn:reverb"/></key></effect>
<effect name="vsteffect"><vsteffectcontrols plugin="D:\fx\TAL-Reverb-4.dll"/></effect>
<effect name="stereomatrix"/></fxchain></instrumenttrack></track>
<track><instrumenttrack><instrument name="zynaddsubfx"><zynaddsubfx/></instrument>
</instrumenttrack></track><track><instrumenttrack><instrument name="carlapatchbay">
<carlapatchbay><CARLA-PROJECT VERSION="2.0"><Plugin><Info><Type>LV2</Type>
<Name>Reverb</Name><URI>urn:reverb</URI></Info></Plugin></CARLA-PROJECT></carlapatchbay>
</instrument></instrumenttrack></track><track><instrumenttrack><instrument name="lv2instrument">
<lv2instrument><key><attribute name="uri" value="urn:synth"/></key></lv2instrument>
</instrument></instrumenttrack></track></trackcontainer></song></lmms-project>)";
const std::string kLmmsRead =
    "LV2|||urn:reverb||2\nLV2|||urn:synth||1\nLADSPA||Plate2x2||caps|1\n"
    "VST2||Synth1 VST||Synth1 VST.dll|1\nVST2||TAL-Reverb-4||TAL-Reverb-4.dll|1\n";

TEST(XmlReaders, ReadWhatEachFormatStores) {
  struct Case {
    Reader read;
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {readLive, kLive, kLiveRead},
      {readLive, gzipped(kLive), kLiveRead},
      {readLmms, kLmms, kLmmsRead},
      {readLmms, mmpz(kLmms), kLmmsRead},
      {readArdour,
       R"(<Session version="7003"><Routes><Route><Processor name="Amp" type="amp"/>
<Processor name="a-Reverb" type="lv2" unique-id="urn:ardour:a-reverb"/>
<Processor name="Plate" type="ladspa" unique-id="1423"/><Processor type="luaproc" name="L"/>
<Processor name="Synth" type="windows-vst" unique-id="-1"/><Processor type="intsend"/>
<Processor name="Synth" type="lxvst" unique-id="4294967295"/>
<Processor name="EQ" type="vst3" unique-id="{41727475-4156-4953-4d65-427250726f63}"/>
<Processor name="Delay" type="audiounit" unique-id="aufx - dely - appl"/></Route></Routes>
<IOPlugins><IOPlug name="Gate" type="lv2" unique-id="urn:gate"/></IOPlugins></Session>)",
       "LV2||a-Reverb|urn:ardour:a-reverb||1|host\n"
       "AU||Delay|1635083896 1684368505 1634758764||1\n"
       "VST3||EQ|41727475415649534D65427250726F63||1\nLV2||Gate|urn:gate||1\n"
       "LADSPA||Plate|1423||1\nVST2||Synth|4294967295||2\n"},
      // Ardour 2 names an insert's plug-in in its Redirect's IO.
      {readArdour,
       R"(<Session><Routes><Route><Insert type="ladspa" unique-id="1423"><Redirect>
<IO name="Plate Reverb"/></Redirect></Insert><Insert type="port"/></Route></Routes></Session>)",
       "LADSPA||Plate Reverb|1423||1\n"},
      // A rack whose state embeds a project, escaped; what is not a plug-in
      // is left out, and a hostile name is only text.
      {readCarla,
       R"(<?xml version='1.0' encoding='UTF-8'?>
<!DOCTYPE CARLA-PROJECT>
<CARLA-PROJECT VERSION='2.0'><Plugin><Info><Type>INTERNAL</Type><Name>Rack</Name></Info>
<Data><CustomData><Type>http://kxstudio.sf.net/ns/carla/chunk</Type><Key>State</Key><Value>
&lt;?xml version='1.0'?&gt;&lt;!DOCTYPE CARLA-PROJECT&gt;&lt;CARLA-PROJECT&gt;&lt;Plugin&gt;
&lt;Info&gt;&lt;Type&gt;VST2&lt;/Type&gt;&lt;Name&gt;Inner &amp;amp; Co&lt;/Name&gt;
&lt;Binary&gt;C:\vst\inner.dll&lt;/Binary&gt;&lt;UniqueID&gt;1234&lt;/UniqueID&gt;&lt;/Info&gt;
&lt;/Plugin&gt;&lt;/CARLA-PROJECT&gt;</Value></CustomData><CustomData><Key>Other</Key>
<Value>&lt;preset broken</Value></CustomData></Data></Plugin>
<Plugin><Info><Type>LADSPA</Type><Name>Plate</Name><Binary>/usr/lib/ladspa/caps.so</Binary>
<Label>Plate</Label><UniqueID>1779</UniqueID></Info></Plugin>
<Plugin><Info><Type>SF2</Type><Name>Piano</Name></Info></Plugin>
<Plugin><Info><Type>CLAP</Type><Name>Surge XT</Name><Binary>/clap/Surge XT.clap</Binary>
<Identifier>org.surge-synth-team.surge-xt</Identifier></Info></Plugin>
<Plugin><Info><Type>LV2</Type><Name>&lt;b&gt;"x'
</Name><URI>urn:x</URI></Info></Plugin></CARLA-PROJECT>)",
       "LV2||<b>\"x'|urn:x||1\nVST2||Inner & Co|1234|inner.dll|1\n"
       "LADSPA||Plate|1779|caps.so|1\n"
       "CLAP||Surge XT|org.surge-synth-team.surge-xt|Surge XT.clap|1\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(listing(c.read, c.input), c.expected) << c.input.substr(0, 80);
}

TEST(XmlReaders, FaultsAreNamedAndKeepWhatCameBefore) {
  const std::string kOne =
      "<Ableton><PluginDevice><PluginDesc><VstPluginInfo><PlugName Value=\"A\"/>"
      "</VstPluginInfo></PluginDesc></PluginDevice>";
  std::string damaged = mmpz(kLmms);
  damaged.back() = static_cast<char>(damaged.back() ^ 1);  // the Adler-32 check
  const std::string gzip = gzipped(kLive);
  struct Case {
    Reader read;
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {readLive, kOne, "VST2||A|||1\n! cut off at line 1, column 116\n"},
      {readLive, gzip.substr(0, gzip.size() - 8),
       kLiveRead + "! cut off: the compressed data ends early\n"},
      {readLmms, damaged, kLmmsRead + "! damaged: incorrect data check\n"},
      {readCarla, "", "! empty\n"},
      {readLmms, "hello", "! not XML at line 1, column 1: syntax error\n"},
      {readArdour, "<lmms-project/>",
       "! not an Ardour session: its root element is lmms-project\n"},
      {readArdour, "<!DOCTYPE Session SYSTEM \"http://example.com/s.dtd\"><Session/>",
       "! refused at line 1, column 52: a document type declaration with an internal "
       "subset or an external identifier\n"},
      {readLmms,
       "<!DOCTYPE l [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;\">]>"
       "<lmms-project>&b;</lmms-project>",
       "! refused at line 1, column 13: a document type declaration with an internal "
       "subset or an external identifier\n"},
      {readLive, "<Ableton>" + repeated("<a>", 2000),
       "! refused at line 1, column 3079: elements nested more than 1024 deep\n"},
      {readCarla,
       "<CARLA-PROJECT><Plugin><Data><CustomData><Value>&lt;CARLA-PROJECT&gt;&lt;Plugin"
       "</Value></CustomData></Data></Plugin></CARLA-PROJECT>",
       "! in a Carla project embedded in a plug-in's state: cut off at line 1, column "
       "16\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(listing(c.read, c.input), c.expected) << c.input.substr(0, 80);
}

// Each level escapes the one inside it, as Carla writes a rack's state.
TEST(XmlReaders, EmbeddedCarlaProjectsAreReadToAnyDepthUpToACap) {
  const auto nested = [](int levels) {
    std::string project =
        "<CARLA-PROJECT><Plugin><Info><Type>LV2</Type><URI>urn:0</URI>"
        "</Info></Plugin></CARLA-PROJECT>";
    for (int level = 1; level < levels; ++level) {
      std::string escaped;
      for (const char c : project)
        escaped += c == '<' ? "&lt;" : c == '&' ? "&amp;" : std::string(1, c);
      project = "<CARLA-PROJECT><Plugin><Info><Type>LV2</Type><URI>urn:" +
                std::to_string(level) + "</URI></Info><Data><CustomData><Value>" +
                escaped + "</Value></CustomData></Data></Plugin></CARLA-PROJECT>";
    }
    return project;
  };
  const std::string tooDeep = listing(readCarla, nested(18));
  EXPECT_EQ(listing(readCarla, nested(3)),
            "LV2|||urn:0||1\nLV2|||urn:1||1\nLV2|||urn:2||1\n");
  EXPECT_EQ(listing(readCarla, nested(17)).find('!'), std::string::npos);
  EXPECT_EQ(tooDeep.substr(tooDeep.find('!')),
            "! Carla projects embedded more than 16 deep\n");
  EXPECT_NE(tooDeep.find("urn:1|"), std::string::npos);
  EXPECT_EQ(tooDeep.find("urn:0|"), std::string::npos);
}

TEST(XmlReaders, InflatingAndParsingStopAtTheirLimits) {
  const std::string text(100000, 'a');
  struct Case {
    std::string compressed;
    Wrapping wrapping;
    std::uint64_t limit;
    std::uint64_t expectedBytes;
    std::string expectedProblem;
  };
  const Case cases[] = {
      {deflated(text, -MAX_WBITS), Wrapping::raw, kMaxInflated, 100000, ""},
      {gzipped(text), Wrapping::gzip, 100000, 100000, ""},
      {gzipped(text), Wrapping::gzip, 99999, 99999,
       "too large: it inflates past 99999 bytes"},
      {gzipped(text), Wrapping::zlib, kMaxInflated, 0, "damaged: incorrect header check"},
  };
  for (const Case& c : cases) {
    std::istringstream in(c.compressed);
    xml::StreamSource source(in);
    InflatingSource inflated(source, c.wrapping, c.limit);
    char buffer[4096];
    std::uint64_t total = 0;
    while (const std::size_t count = inflated.read(buffer, sizeof buffer))
      total += count;
    EXPECT_EQ(total, c.expectedBytes);
    EXPECT_EQ(inflated.problem(), c.expectedProblem);
  }
  // One attribute past expat's allowance, however it came to be that long.
  struct Ignore : xml::Handler {
    void startElement(std::string_view, const xml::Attributes&) override {}
    void endElement(std::string_view) override {}
  } ignore;
  std::istringstream in("<a b='" + text + text + "'/>");
  xml::StreamSource source(in);
  ProjectReading reading;
  EXPECT_FALSE(xml::read(source, ignore, reading, {1024, 100000}));
  EXPECT_EQ(
      reading.problem,
      "too large at line 1, column 1: the document needs more than 100000 bytes at once");
}

// The real projects give what was read from them by hand.
TEST(XmlReaders, RealProjects) {
  struct Case {
    Reader read;
    const char* file;
    std::string expected;
  };
  const Case cases[] = {
      {readLive, "alsd-test_devices_1.als",
       "VST2||Driver|1315513405|Driver.vst|1\nVST2||Massive|1315523937|Massive.vst|1\n"
       "AU|mda|Combo|1635083896 1131242095 1835295064||1\n"
       "AU|Native Instruments|FM8|1635085685 1315530296 760105261||1\n"},
      {readLive, "livedb-Bar.als",
       "VST2||RoughRider3|1381118768|RoughRider3.vst|2\n"
       "VST2||ValhallaVintageVerb|1986356531|ValhallaVintageVerb_x64.vst|2\n"
       "VST3|Arturia|Delay BRIGADE|41727475415649534D65427250726F63||1\n"},
      {readArdour, "lph-studiolink_n1_simple.template",
       "LV2||Studio Link|http://studio-link.de/plugins/lv2/studio-link||1\n"},
      {readLmms, "Saber-FinalStep.mmpz",
       "LADSPA||Clip||caps.so|2\nLADSPA||Eq||caps.so|1\nLADSPA||PhaserII||caps.so|1\n"
       "LADSPA||Plate2x2||caps|12\nLADSPA||tap_stereo_echo||tap_echo.so|1\n"},
  };
  for (const Case& c : cases) {
    std::ifstream in(std::string(VERNATTO_TEST_DATA "/projects/") + c.file,
                     std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(listing(c.read, bytes.str()), c.expected) << c.file;
  }
}

}  // namespace
}  // namespace vernatto::daw
