#include <algorithm>
#include <array>
#include <istream>

#include "daw/readers.h"
#include "daw/stored_text.h"
#include "daw/xml.h"
#include "daw/zip.h"
#include "inventory/plugin_id.h"

namespace vernatto::daw {
namespace {

// The song's members that hold its devices: the instruments, and every
// channel's inserts.
constexpr std::array<std::string_view, 2> kDeviceMembers{"Devices/audiosynthfolder.xml",
                                                         "Devices/audiomixer.xml"};

bool equalIgnoringCase(std::string_view a, std::string_view b) {
  const auto lower = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [&](char x, char y) { return lower(x) == lower(y); });
}

// The technology a class's subCategory begins with ("VST3/Fx|Dynamics"):
// empty for the host's own devices ("(Native)") and anything not known. A
// bare "VST" is told by the class id, which for a VST2 plug-in is the
// VST3 form that begins "565354".
std::string_view technologyOf(std::string_view subCategory, std::string_view vst3Id) {
  std::string_view first = subCategory.substr(0, subCategory.find_first_of("/|"));
  while (!first.empty() && first.back() == ' ')
    first.remove_suffix(1);
  if (equalIgnoringCase(first, "VST"))
    return inventory::isVst2InVst3Form(vst3Id) ? "VST2" : "VST3";
  for (std::string_view technology : {"VST2", "VST3", "AU", "CLAP"})
    if (equalIgnoringCase(first, technology))
      return technology;
  if (equalIgnoringCase(first, "AudioUnit") || equalIgnoringCase(first, "Audio Unit"))
    return "AU";
  return {};
}

// Every device keeps what it is in an element <Attributes x:id="classInfo">.
class DeviceFile : public xml::Handler {
 public:
  explicit DeviceFile(ProjectReading& reading) : reading_(reading) {}

  void startElement(std::string_view name, const xml::Attributes& attributes) override {
    if (name != "Attributes" || attributes["x:id"] != "classInfo")
      return;
    const std::string vst3Id = inventory::vst3IdFromText(attributes["classID"]);
    Reference r;
    r.technology = technologyOf(attributes["subCategory"], vst3Id);
    if (r.technology.empty())
      return;
    appendCapped(r.name, attributes["name"]);
    // Only a VST class id is known to be the plug-in's own: other kinds get
    // no id rather than a guessed one.
    if (r.technology == "VST3")
      r.id = vst3Id;
    else if (r.technology == "VST2")
      r.id = inventory::vst2IdFromVst3Form(vst3Id);
    reading_.add(std::move(r));
  }

  void endElement(std::string_view /*name*/) override {}

 private:
  ProjectReading& reading_;
};

}  // namespace

void readStudioOne(std::istream& in, ProjectReading& reading) {
  ZipArchive song(in);
  DeviceFile devices(reading);
  for (std::string_view member : kDeviceMembers)
    readXmlMember(song, member, devices, reading);
}

}  // namespace vernatto::daw
