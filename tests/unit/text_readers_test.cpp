#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "daw/readers.h"

namespace vernatto::daw {
namespace {

using Reader = void (*)(std::istream&, ProjectReading&);

// What a reading found: "incomplete" first when it was not whole, then one
// line per reference in reference order.
std::string found(Reader reader, std::istream&& in) {
  ProjectReading reading;
  reader(in, reading);
  std::string out = reading.complete ? "" : "incomplete\n";
  for (const Reference& r : reading.references.sorted())
    out += r.technology + '|' + r.vendor + '|' + r.name + '|' + r.id + '|' + r.file +
           '|' + r.version + '|' + std::to_string(r.instances) +
           (r.host ? "|host\n" : "\n");
  return out;
}

// A Cubase member name, a text value and a plug-in record, as stored.
std::string be32(std::size_t n) {
  return {char(n >> 24), char(n >> 16 & 0xFF), char(n >> 8 & 0xFF), char(n & 0xFF)};
}
std::string key(const std::string& name) {
  return be32(name.size() + 1) + name + '\0';
}
std::string text(const std::string& value) {
  return std::string("\0\x08", 2) + be32(value.size() + 4) + value + '\0' +
         "\xEF\xBB\xBF";
}
std::string record(const std::string& guid, const std::string& name,
                   const std::string& original = "") {
  return key("Plugin UID") + std::string("\0\x02\0\x06\0\0\0\x01", 8) + key("GUID") +
         text(guid) + key("Plugin Name") + text(name) +
         (original.empty() ? "" : key("Original Plugin Name") + text(original));
}
std::string riff(const std::string& arch) {
  const std::string chunks =
      "ROOT" + be32(4) + "GDoc" + "ARCH" + be32(arch.size()) + arch;
  return "RIFF" + be32(chunks.size()) + "NUND" + chunks;
}

std::string repeated(const std::string& text, std::size_t times) {
  std::string out;
  while (times-- > 0)
    out += text;
  return out;
}

TEST(TextReaders, ReadWhatEachFormatStores) {
  const std::string filler((1 << 20) - 10, 'x');  // a record across blocks
  const std::string plugins =
      record("56535473796C3173796C656E74683100", "Sylenth1") +
      record("D39D5B69D6AF42FA1234567868495645", "Lead", "Hive") +
      record("44E1149EDB3E4387BDD827FEA3A39EE7", "Standard Panner") +
      record("0123456789ABCDEF0123456789ABCDEF", "Stereo Dual Panner");
  const std::string ptHeading =
      "SESSION NAME:\tS\rP L U G - I N S  L I S T I N G\r"
      "MANUFACTURER   \tPLUG-IN NAME\tVERSION\tFORMAT\tSTEMS\tNUMBER OF INSTANCES\r";
  // The readers' blocks are 64 KiB: a plug-in's line across the first
  // block's end, and a CR LF split by it.
  const std::string rpp = "<REAPER_PROJECT\r\n<FXCHAIN\r\n" + std::string(65500, 'x') +
                          "\r\n<VST \"VST: A (B)\" a.so 0 \"\" 1\r\n>\r\n>\r\n>\r\n";
  std::string pt =
      "SESSION NAME:\r\nP L U G - I N S  L I S T I N G\r\n"
      "MANUFACTURER\tPLUG-IN NAME\tNUMBER OF INSTANCES\r\n";
  std::size_t rows = 1;
  for (; pt.size() < 65000; ++rows)
    pt += "A\tB\t1\r\n";
  pt += "A" + std::string(65530 - pt.size(), ' ') + "\tB\t1\r\nA\tC\t1\r\n\r\n";
  struct Case {
    Reader reader;
    std::string input;
    std::string expected;
  };
  const Case cases[] = {
      {readReaper,
       "\xEF\xBB\xBF<REAPER_PROJECT 0.1 \"7.0\" 1\r\n<TRACK\r\nNAME `a \"b\" 'c'`\r\n"
       "<VST \"VST: Outside (Chain)\" o.dll 0 \"\" 1\r\n>\r\n<FXCHAIN\r\n"
       "<VST \"VSTi: Kontakt (Native Instruments) (16 out)\" \"C:\\VST\\Kontakt.dll\" 0 "
       "\"\" "
       "1<5653544E694B35000000000000000000>\r\n>\r\n"
       "<VST 'VST3: Pro-Q 3 (x64) (FabFilter) (2->8ch) (Mono)' `Pro Q.vst3` 0 '' "
       "1{72c4db717a4d459ab97e51745d84b39d}\r\n>\r\n"
       "<AU \"AUi: Arcade (Output)\" \"Output: Arcade: Mk2\" \"\" aumu Arc1 Outp\r\n>\r\n"
       "<CONTAINER C \"\"\r\n<CONTAINER D \"\"\r\n<CLAP \"CLAP: Sürge (Sürge Team)\" "
       "org.s \"\"\r\n"
       ">\r\n<LV2 \"LV2i: (x86)\" urn:l \"\"\r\n>\r\n<DX \"DX: Chorus\" c "
       "0\r\n>\r\n>\r\n>\r\n"
       "<JS 'a b/c' \"\"\r\n>\r\n<VST \"VST: ReaEQ (cockos)\" reaeq.dll 0 x "
       "-5\r\n>\r\n>\r\n"
       "<ITEM\r\n<TAKEFX\r\n<VST \"VST: ReaEQ (Cockos)\" reaeq.dll 0 \"\" "
       "4294967291\r\n>\r\n"
       ">\r\n>\r\n>\r\n<EXTENSIONS\r\n<FXCHAIN\r\n<VST \"VST: Copy (Me)\" c 0 \"\" "
       "1\r\n>\r\n"
       ">\r\n>\r\n>\r\n",
       "LV2|||urn:l|||1\nJS||a b/c||||1|host\n"
       "VST2|cockos|ReaEQ|4294967291|reaeq.dll||2|host\n"
       "VST3|FabFilter|Pro-Q 3 (x64)|72C4DB717A4D459AB97E51745D84B39D|Pro Q.vst3||1\n"
       "VST2|Native Instruments|Kontakt|1315523381|Kontakt.dll||1\n"
       "AU|Output|Arcade: Mk2|1635085685 1098015537 1333097584|||1\n"
       "CLAP|Sürge Team|Sürge|org.s|||1\n"},
      {readReaper,  // cut off: what came before stays
       "<REAPER_PROJECT\n<MASTERFXLIST\n<VST \"VST: A (B)\" a.so 0 \"\" "
       "1<565354000000020000>\n>",
       "incomplete\nVST2|B|A|1|a.so||1\n"},
      {readReaper,
       "<REAPER_PROJECT\n<FXCHAIN\n<VST \"VST4: A (B)\" a\n>\n<JS x\n>\n>\n>\n",
       "incomplete\nJS||x||||1|host\n"},
      {readReaper, "<REAPER_PROJECT\n>\n<REAPER_PROJECT\n>\n", "incomplete\n"},
      {readReaper, "<REAPER_PROJECTS\n>\n", "incomplete\n"},
      {readReaper, rpp, "VST2|B|A|1|a.so||1\n"},
      {readProToolsText, pt, "AAX|A|B||||" + std::to_string(rows) + "\nAAX|A|C||||1\n"},
      {readReaper, "<REAPER_PROJECT\n" + repeated("<A\n", 100000), "incomplete\n"},
      {readReaper,
       "<REAPER_PROJECT\n<FXCHAIN\n<JS " + std::string(70000, 'j') + "\n>\n>\n>\n",
       "incomplete\n"},
      {readCubase, riff(filler + plugins),
       "VST3||Hive|D39D5B69D6AF42FA1234567868495645|||1\n"
       "VST2||Sylenth1|1937337393|||1\n"},
      {readCubase, riff("no records, as Cubase SX wrote"), ""},
      {readCubase, riff(plugins).substr(0, 200),
       "incomplete\nVST2||Sylenth1|1937337393|||1\n"},
      {readCubase,
       riff(key("Plugin UID") + std::string("\0\x02\0\x06\0\0\0\x01", 8) + key("GUID") +
            std::string("\0\x08\xFF\xFF\xFF\xFF", 6)),
       "incomplete\n"},
      {readCubase, "RIFF" + be32(12) + "NUND" + "ARCH" + be32(0xFFFFFFFF) + "abcd",
       "incomplete\n"},
      {readCubase, std::string("RIFX\0\0\0\0NUND", 12), "incomplete\n"},
      {readProToolsText,
       ptHeading + "Avid\tEQ3\t1\tAAX\tMono\t2 active, 1 inactive\r\t\xA5 \x8A\t\t\t\t1\r"
                   "Me\tEQ3\t2\t\t\t4 bypassed\t1 inactive\r\rMe\tLater\t\t\t\t1\r",
       "AAX|Avid|EQ3|||1|3|host\nAAX|Avid|\xE2\x80\xA2 \xC3\xA4||||1|host\n"
       "AAX|Me|EQ3|||2|5\n"},
      {readProToolsText, ptHeading + "M\xE9ta\tN\t\t\t\t1\n\n",
       "AAX|M\xC3\xA9ta|N||||1\n"},
      {readProToolsText, "\xEF\xBB\xBF" + ptHeading + "M\xC3\xA9ta\tN\t\t\t\t1\r\n\r\n",
       "AAX|M\xC3\xA9ta|N||||1\n"},
      {readProToolsText, ptHeading + "A\tB\t\t\t\t1\nA\tC\t\t\t\t1",
       "incomplete\nAAX|A|B||||1\nAAX|A|C||||1\n"},
      {readProToolsText, ptHeading + "A\t\t\t\t\t1\nA\tB\t\t\t\tnone\n\n",
       "incomplete\n"},
      {readProToolsText, "SESSION NAME:\tS\nT R A C K  L I S T I N G\n", "incomplete\n"},
      {readProToolsText, "P L U G - I N S  L I S T I N G\n", "incomplete\n"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(found(c.reader, std::istringstream(c.input)), c.expected)
        << c.input.substr(0, 120);
}

// Files the hosts wrote; what they use was read from them by hand.
TEST(TextReaders, ReadWhatTheHostsWrote) {
  const std::string vst2 = "VST2|Cockos|";
  const std::string avid = "AAX|Avid|Dither|||20.3.0d163|1|host\n";
  const std::string alliance = "AAX|Plugin Alliance|";
  const struct {
    Reader reader;
    std::string file;
    std::string expected;
  } cases[] = {
      {readReaper, "reaper-perlence-vst.rpp",
       "JS||loser/3BandEQ||||1|host\n" + vst2 +
           "ReaComp|1919247213|reacomp.dll||1|host\n" + vst2 +
           "ReaSynth|1919251321|reasynth.dll||1|host\n"},
      {readReaper, "reaper-ultraschall-studiolink.rpp",
       "JS||dynamics/LUFS_Loudness_Meter||||1|host\n"
       "JS||dynamics/Ultraschall_Dynamics||||3|host\n" +
           vst2 + "ReaComp|1919247213|reacomp.vst.so||3|host\n" + vst2 +
           "ReaEQ|1919247729|reaeq.vst.so||2|host\n" + vst2 +
           "ReaFir (FFT EQ+Dynamics Processor)|1919247986|reafir.vst.so||2|host\n" +
           vst2 +
           "ReaVerbate|1920361016|reaverbate.vst.so||2|host\n"
           "VST2|IT-Service Sebastian Reimers|StudioLink|1769239410|studio-link.so||1\n"
           "VST3|Ultraschall|Soundboard|ABCDEF019182FAEB556C7472536E6462|Soundboard.vst3|"
           "|1\n"},
      {readCubase, "cubase-14-example.cpr",
       "VST2||ArtsAcousticReverb|1094799970|||1\n"
       "VST3||Elephant|1C3A662167D347A99F7D797EA4911CDB|||1\n"
       "VST3||Hive|D39D5B69D6AF42FA1234567868495645|||1\n"
       "VST2||Lin Dither|1431717970|||1\nVST2||Omnisphere|1097687666|||1\n"
       "VST3||StereoEnhancer|77BBA7CA90F14C9BB298BA9010D6DD78|||2\n"
       "VST3||StudioEQ|946051208E29496E804F64A825C8A047|||2\n"
       "VST2||Sylenth1|1937337393|||1\nVST2||TrackComp|1145525315|||2\n"},
      {readCubase, "cubase-truncated-in-guid.cpr", "incomplete\n"},
      {readProToolsText, "pro-tools-2023-utf8-no-plugins.txt", ""},
      {readProToolsText, "pro-tools-2020-plugins.txt",
       "AAX|accusonus|ERA 4 Voice Leveler|||4.0.00|1\n"
       "AAX|AIR Music Technology|AIR Kill EQ|||1.2.0.18799|1\n"
       "AAX|AIR Music Technology|AIR Non-Linear Reverb|||1.2.0.18799|1\n" +
           avid +
           "AAX|Blue Cat Audio|BCPatchWorkSynth|||2.42|1\n"
           "AAX|FabFilter|FabFilter Saturn|||1.20|1\n"
           "AAX|FabFilter|FabFilter Timeless 2|||2.30|1\n"
           "AAX|Native Instruments|Kontakt|||6.2.2 (R51), Copyright \xC2\xA9 2020|1\n"
           "AAX|oeksound|soothe2|||1.0.3|1\n"
           "AAX|Plogue Art et Technologie, Inc|chipsounds|||2056|1\n" +
           alliance + "bx_boom|||1.13.1|1\n" + alliance + "bx_rooMS|||1.5.1|1\n" +
           alliance + "Schoeps Mono Upmix 1to2|||1.0.0|1\n" + alliance +
           "Unfiltered Audio Byome|||1.1.0|1\n" + alliance + "Vertigo VSM-3|||1.6.1|1\n"},
  };
  for (const auto& c : cases) {
    std::ifstream in(std::string(VERNATTO_TEST_DATA "/projects/") + c.file,
                     std::ios::binary);
    ASSERT_TRUE(in) << c.file;
    EXPECT_EQ(found(c.reader, std::move(in)), c.expected) << c.file;
  }
}

}  // namespace
}  // namespace vernatto::daw
