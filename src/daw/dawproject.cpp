#include <cstdint>
#include <istream>
#include <optional>
#include <vector>

#include "daw/readers.h"
#include "daw/stored_text.h"
#include "daw/xml.h"
#include "daw/zip.h"
#include "inventory/plugin_id.h"

namespace vernatto::daw {
namespace {

// The plug-in elements; the built-in devices (Equalizer, Compressor,
// NoiseGate, Limiter, BuiltinDevice) are the host's own and no plug-ins.
std::string_view technologyOf(std::string_view element) {
  if (element == "Vst3Plugin")
    return "VST3";
  if (element == "Vst2Plugin")
    return "VST2";
  if (element == "ClapPlugin")
    return "CLAP";
  if (element == "AuPlugin")
    return "AU";
  return {};
}

// A VST2 unique id is a 32-bit number, written signed or not.
std::string vst2IdOf(std::string_view text) {
  const std::optional<std::int64_t> id = integerOf(text);
  if (!id || *id < INT32_MIN || *id > static_cast<std::int64_t>(UINT32_MAX))
    return {};
  return inventory::vst2Id(*id);
}

// "type:subtype:manufacturer", each a four-character code or a decimal. A
// code may itself hold a colon, so three codes in place come first.
std::string audioUnitIdOf(std::string_view text) {
  if (text.size() == 14 && text[4] == ':' && text[9] == ':')
    return inventory::audioUnitIdFromCodes(text.substr(0, 4), text.substr(5, 4),
                                           text.substr(10, 4));
  std::vector<std::string_view> codes;
  std::size_t from = 0;
  for (std::size_t colon; (colon = text.find(':', from)) != std::string_view::npos;
       from = colon + 1)
    codes.push_back(text.substr(from, colon - from));
  codes.push_back(text.substr(from));
  if (codes.size() != 3)
    return {};
  return inventory::audioUnitIdFromCodes(codes[0], codes[1], codes[2]);
}

class ProjectXml : public xml::Handler {
 public:
  explicit ProjectXml(ProjectReading& reading) : reading_(reading) {}

  void startElement(std::string_view name, const xml::Attributes& attributes) override {
    if (++depth_ == 1) {
      appendCapped(root_, name, 64);
      ours_ = name == "Project";
    }
    const std::string_view technology = technologyOf(name);
    if (!ours_ || technology.empty())
      return;
    Reference r;
    r.technology = technology;
    appendCapped(r.vendor, attributes["deviceVendor"]);
    appendCapped(r.name, attributes["deviceName"]);
    appendCapped(r.version, attributes["pluginVersion"]);
    const std::string_view id = attributes["deviceID"];
    if (technology == "VST3")
      r.id = inventory::vst3IdFromText(id);
    else if (technology == "VST2")
      r.id = vst2IdOf(id);
    else if (technology == "AU")
      r.id = audioUnitIdOf(id);
    else
      appendCapped(r.id, id);
    reading_.add(std::move(r));
  }

  void endElement(std::string_view /*name*/) override { --depth_; }

  void checkRoot() {
    if (!root_.empty() && !ours_)
      reading_.fail("not a DAWproject: its root element is " + root_);
  }

 private:
  ProjectReading& reading_;
  std::size_t depth_ = 0;
  bool ours_ = false;
  std::string root_;
};

}  // namespace

// A DAWproject is a zip holding project.xml; people also hand over the bare
// project.xml, read the same.
void readDawproject(std::istream& in, ProjectReading& reading) {
  ProjectXml project(reading);
  if (looksLikeZip(in)) {
    ZipArchive zip(in);
    readXmlMember(zip, "project.xml", project, reading);
  } else {
    xml::StreamSource source(in);
    xml::read(source, project, reading);
  }
  project.checkRoot();
}

}  // namespace vernatto::daw
