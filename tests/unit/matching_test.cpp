#include <gtest/gtest.h>

#include "daw/stored_text.h"
#include "project/matching.h"

namespace vernatto::project {
namespace {

TEST(Matching, FoldsNamesFilesAndVendorsAsTheyAreWrittenDifferently) {
  const std::pair<std::string, std::string> cases[] = {
      {foldName(" Pro-Q 3 "), "pro-q 3"},
      {foldName("Serum_x64"), "serum"},
      {foldName("Serum -X86"), "serum"},
      {foldName("Diva x64"), "diva"},
      {foldName("Divax64"), "divax64"},  // not after white space
      {foldName("Diva (64-Bit)"), "diva"},
      {foldName("Diva(64 bit)"), "diva(64 bit)"},
      {foldName("Diva (x64) (x86)"), "diva (x64)"},  // one mark only
      {foldName("x64"), "x64"},
      {foldFile("Serum_x64.DLL"), "serum"},
      {foldFile("Pro-Q 3.vst3"), "pro-q 3"},
      {foldFile("a.lv2.so"), "a.lv2"},
      {foldVendor("Native Instruments GmbH"), "nativeinstruments"},
      {foldVendor("Xfer Records, Inc."), "xferrecords"},
      {foldVendor("Tone Co., Ltd."), "tone"},
      {foldVendor("Co"), "co"},
      {foldVendor("Sonic AG-Tech"), "sonicagtech"},
      {foldVendor("u-he"), "uhe"},
      {daw::fileOfPath("C:\\VST/x\\Serum_x64.dll/"), "Serum_x64.dll"},
  };
  for (const auto& [got, expected] : cases)
    EXPECT_EQ(got, expected);
}

TEST(Matching, TheFirstRuleThatHoldsGivesTheStatusAndTheInstall) {
  const std::string proQ = "72C4DB717A4D459AB97E51745D84B39D";
  const std::string oldComp = "0123456789ABCDEF0123456789ABCDEF";
  const std::string newComp = "AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA";
  struct Entry {
    const char* technology;
    const char* vendor;
    const char* name;
    const char* version;
    std::string id;
    const char* path;
    std::vector<std::string> compatible;
  };
  const Entry entries[] = {
      {"VST3", "FabFilter", "Pro-Q 3", "3.24", proQ, "/v/FabFilter Pro-Q 3.vst3", {}},
      {"VST3", "FabFilter", "Pro-Q 3", "3.9", proQ, "/w/Pro-Q 3.vst3", {}},
      {"VST2", "Xfer Records", "Serum", "1.3", "", "C:\\VST\\Serum_x64.dll", {}},
      // Replaces a VST3 plug-in and the VST2 plug-in of unique id 1131375984
      // ("Comp"), whose VST3-form id ends in name bytes of its own.
      {"VST3",
       "Acme",
       "NewComp",
       "2.0",
       newComp,
       "/v/NewComp.vst3",
       {oldComp, "565354436F6D70636F6D7000000000FF"}},
      {"CLAP", "u-he", "Diva", "1.4.5", "com.u-he.diva", "/c/Diva.clap", {}},
  };
  inventory::Inventory room;
  room.keepDetails();
  for (const Entry& e : entries) {
    inventory::PluginEntry& entry = room.emplace_back();
    entry.technology = room.storeSharedText(e.technology);
    entry.vendor = room.storeSharedText(e.vendor);
    entry.name = room.storeText(e.name);
    entry.version = room.storeText(e.version);
    inventory::EntryDetails& details = room.lastDetails();
    details.id = room.storeDetailText(e.id);
    details.path = room.storeDetailText(e.path);
    for (const std::string& id : e.compatible)
      details.compatible.push_back(room.storeDetailText(id));
  }
  const RoomIndex index(room);
  constexpr std::size_t kNone = Match::kNoInstall;
  struct Case {
    daw::Reference reference;
    Status status;
    By by;
    std::size_t install;
  };
  const Case cases[] = {
      // The highest version (in natural order) of those with the id,
      // whatever the texts.
      {{"VST3", "", "Renamed", proQ, "", "", 1, false}, Status::kFound, By::kId, 0},
      {{"VST3", "FabFilter Inc.", "pro-q 3 x64", "", "", "", 1, false},
       Status::kFound,
       By::kName,
       0},
      {{"VST3", "Other", "Pro-Q 3", "", "", "", 1, false},
       Status::kMissing,
       By::kNone,
       kNone},
      // Two builds with ids of their own are two plug-ins.
      {{"VST3", "FabFilter", "Pro-Q 3", oldComp.substr(0, 31) + "0", "", "", 1, false},
       Status::kMissing,
       By::kNone,
       kNone},
      {{"VST2", "", "", "", "serum_X64.dll", "", 1, false}, Status::kFound, By::kFile, 2},
      {{"VST3", "FabFilter", "Pro-Q 3", proQ, "", "3.30", 1, false},
       Status::kOlder,
       By::kId,
       0},
      {{"VST3", "FabFilter", "Pro-Q 3", proQ, "", "3.24", 1, false},
       Status::kFound,
       By::kId,
       0},
      {{"VST3", "Acme", "OldComp", oldComp, "", "", 1, false},
       Status::kReplacement,
       By::kCompatibility,
       3},
      {{"VST2", "Acme", "Comp", "1131375984", "comp.dll", "", 1, false},
       Status::kReplacement,
       By::kCompatibility,
       3},
      {{"VST2", "u-he", "Diva", "", "", "", 1, false},
       Status::kOtherFormat,
       By::kNone,
       4},
      {{"VST2", "Someone", "Diva", "", "", "", 1, false},
       Status::kMissing,
       By::kNone,
       kNone},
      {{"LADSPA", "", "", "1049", "", "", 1, false},
       Status::kUnchecked,
       By::kNone,
       kNone},
      {{"LADSPA", "", "amp", "1049", "amp.so", "", 1, false},
       Status::kMissing,
       By::kNone,
       kNone},
      {{"JS", "", "utility/volume", "", "", "", 1, true},
       Status::kHost,
       By::kNone,
       kNone},
  };
  for (const Case& c : cases) {
    // An --ignore text turns only what would have counted into "ignored".
    const std::vector<std::string> ignore = {"nothing"};
    const Match match = index.match(c.reference, ignore);
    const std::string what = c.reference.technology + " " + c.reference.name;
    EXPECT_EQ(match.status, c.status) << what;
    EXPECT_EQ(match.by, c.by) << what;
    EXPECT_EQ(match.install, c.install) << what;
    const bool host = c.status == Status::kHost;
    EXPECT_EQ(index.match(c.reference, {"FABFILTER", c.reference.name}).status,
              host ? Status::kHost : Status::kIgnored)
        << what;
  }
}

}  // namespace
}  // namespace vernatto::project
