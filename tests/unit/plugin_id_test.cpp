#include <gtest/gtest.h>

#include "daw/reference.h"
#include "inventory/plugin_id.h"

namespace vernatto {
namespace {

using inventory::audioUnitIdFromCodes;
using inventory::vst2IdFromVst3Form;
using inventory::vst3FormPrefixOfVst2;
using inventory::vst3IdFromText;

TEST(PluginId, NormalFormsOfEveryWayAnIdIsWritten) {
  struct Case {
    std::string got;
    std::string expected;
  };
  const Case cases[] = {
      // Live keeps the four words signed.
      {inventory::vst3Id(0x56535441, static_cast<std::uint32_t>(-1), 0, 0xABCDEF01),
       "56535441FFFFFFFF00000000ABCDEF01"},
      {vst3IdFromText("{565354416e616c6f676d6f6e6f00000000}"), ""},  // 34 digits
      {vst3IdFromText(" {565354416e616c6f676d6f6e6f000000} "),
       "565354416E616C6F676D6F6E6F000000"},
      {vst3IdFromText("{5653544e616c6f676d6f6e6f000000}"), ""},  // 30 digits
      {vst3IdFromText("{56535441-6E61-6C6F-676D-6F6E6F000000}"),
       "565354416E616C6F676D6F6E6F000000"},
      {vst3IdFromText("565354416e616c6f676d6f6e6f000000"),
       "565354416E616C6F676D6F6E6F000000"},
      {vst3IdFromText("56535441-6E616C6F676D6F6E6F000000-00"), ""},  // dashes elsewhere
      {vst3IdFromText("G65354416E616C6F676D6F6E6F000000"), ""},
      {inventory::vst2Id(-1), "4294967295"},
      {inventory::vst2Id(1919247213), "1919247213"},
      {vst2IdFromVst3Form("565354726370726561636F6D70000000"), "1919119474"},
      {vst2IdFromVst3Form("ABCDEF726370726561636F6D70000000"), ""},
      {vst3FormPrefixOfVst2("1919119474"), "56535472637072"},
      {vst3FormPrefixOfVst2("01"), ""},
      {vst3FormPrefixOfVst2("4294967296"), ""},
      {audioUnitIdFromCodes("aufx", "dely", "appl"), "1635083896 1684368505 1634758764"},
      {audioUnitIdFromCodes("1635083896", "dely", "appl"),
       "1635083896 1684368505 1634758764"},
      {audioUnitIdFromCodes("1234", "dely", "appl"), "825373492 1684368505 1634758764"},
      {audioUnitIdFromCodes("auf", "dely", "appl"), ""},
      {audioUnitIdFromCodes("aufx", "dely", "4294967296"), ""},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.got, c.expected);
}

TEST(PluginId, InstancesOfOnePluginAreOneReference) {
  daw::ReferenceList list;
  const auto add = [&](std::string technology, std::string vendor, std::string name,
                       std::string id, std::string file, std::uint64_t instances = 1) {
    list.add({technology, vendor, name, id, file, "", instances, false});
  };
  add("VST3", " Acme ", "Comp", "AB", "");
  add("VST3", "Other", "Renamed", "AB", "");      // same id: the first texts stay
  add("VST3", "Acme", "Comp", "CD", "");          // another id: another plug-in
  add("VST2", "Acme", "Comp", "", "comp.dll");    // no id: by texts
  add("VST2", "Acme", "Comp", "", "comp.dll\n");  // trimmed first
  add("VST2", "Acme", "Comp", "", "comp64.dll");
  add("LADSPA", "", "", "1049", "", UINT64_MAX);
  add("LADSPA", "", "", "1049", "");  // saturates rather than wrapping
  const std::vector<daw::Reference> sorted = list.sorted();
  ASSERT_EQ(sorted.size(), 5u);
  EXPECT_EQ(sorted[0].technology, "LADSPA");  // empty vendor goes first
  EXPECT_EQ(sorted[0].instances, UINT64_MAX);
  EXPECT_EQ(sorted[1].file, "comp.dll");
  EXPECT_EQ(sorted[1].instances, 2u);
  EXPECT_EQ(sorted[2].file, "comp64.dll");
  EXPECT_EQ(sorted[3].id, "AB");
  EXPECT_EQ(sorted[3].vendor, "Acme");
  EXPECT_EQ(sorted[3].instances, 2u);
  EXPECT_EQ(sorted[4].id, "CD");

  // A file cannot make the list grow without end: past the most, a new
  // plug-in fails the reading, while instances of listed ones still count.
  daw::ProjectReading reading;
  for (std::size_t i = 0; i <= daw::ReferenceList::kMost; ++i)
    reading.add({"LV2", "", "", "urn:" + std::to_string(i), "", "", 1, false});
  reading.add({"LV2", "", "", "urn:0", "", "", 1, false});
  EXPECT_EQ(reading.references.size(), daw::ReferenceList::kMost);
  EXPECT_EQ(reading.references.inOrderAdded()[0].instances, 2u);
  EXPECT_EQ(reading.problem, "more than 10000 different plug-ins");
}

}  // namespace
}  // namespace vernatto
