#include <cctype>
#include <istream>
#include <string>
#include <vector>

#include "daw/readers.h"
#include "daw/stored_text.h"
#include "daw/xml.h"
#include "inventory/plugin_id.h"

namespace vernatto::daw {
namespace {

// Ardour writes an Audio Unit's id as its three four-character codes
// joined by " - ", bytes that are not printable as \xNN.
std::string audioUnitIdOf(std::string_view text) {
  std::string codes[3];
  std::size_t part = 0;
  for (std::size_t i = 0; i < text.size() && codes[part].size() <= 4; ++i) {
    if (text.substr(i, 3) == " - " && codes[part].size() == 4 && part < 2) {
      ++part;
      i += 2;
    } else if (text.substr(i, 2) == "\\x" && i + 3 < text.size() &&
               std::isxdigit(static_cast<unsigned char>(text[i + 2])) &&
               std::isxdigit(static_cast<unsigned char>(text[i + 3]))) {
      codes[part] +=
          static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16));
      i += 3;
    } else {
      codes[part] += text[i];
    }
  }
  if (part != 2 || codes[0].size() != 4 || codes[1].size() != 4 || codes[2].size() != 4)
    return {};
  return inventory::audioUnitIdFromCodes(codes[0], codes[1], codes[2]);
}

// The reference a plug-in processor of `type` stands for; an empty
// technology for Ardour's own processors (amp, trim, meter, sends, Lua...).
Reference referenceOf(std::string_view type, std::string_view uniqueId) {
  Reference r;
  if (type == "lv2") {
    r.technology = "LV2";
    r.id = std::string(uniqueId);
    r.host = uniqueId.substr(0, 11) == "urn:ardour:";
  } else if (type == "ladspa") {
    r.technology = "LADSPA";
    r.id = decimalId(uniqueId);
  } else if (type == "windows-vst" || type == "lxvst" || type == "mac-vst" ||
             type == "vst") {
    r.technology = "VST2";
    if (const auto id = integerOf(uniqueId))
      r.id = inventory::vst2Id(*id);
  } else if (type == "vst3") {
    r.technology = "VST3";
    r.id = inventory::vst3IdFromText(uniqueId);
  } else if (type == "audiounit") {
    r.technology = "AU";
    r.id = audioUnitIdOf(uniqueId);
  }
  return r;
}

bool isPluginElement(std::string_view name) {
  // Processor: routes' plug-ins from Ardour 3 on; Insert: Ardour 2's;
  // IOPlug: Ardour 8's I/O plug-ins; RegionFXPlugin: region effects.
  return name == "Processor" || name == "Insert" || name == "IOPlug" ||
         name == "RegionFXPlugin";
}

struct Pending {
  std::size_t depth;
  Reference reference;
};

class Session : public xml::Handler {
 public:
  explicit Session(ProjectReading& reading) : reading_(reading) {}

  void startElement(std::string_view name, const xml::Attributes& attributes) override {
    if (++depth_ == 1) {
      appendCapped(root_, name, 64);
      ours_ = name == "Session";
    }
    if (!ours_)
      return;
    if (isPluginElement(name)) {
      Reference r = referenceOf(attributes["type"], attributes["unique-id"]);
      if (r.technology.empty())
        return;
      r.name = std::string(attributes["name"]);
      pending_.push_back({depth_, std::move(r)});
    } else if (name == "IO" && !pending_.empty() &&
               pending_.back().reference.name.empty()) {
      // Ardour 2 names an insert's plug-in only in its Redirect's IO.
      pending_.back().reference.name = std::string(attributes["name"]);
    }
  }

  void endElement(std::string_view /*name*/) override {
    if (!pending_.empty() && pending_.back().depth == depth_) {
      reading_.add(std::move(pending_.back().reference));
      pending_.pop_back();
    }
    --depth_;
  }

  void checkRoot() {
    if (!root_.empty() && !ours_)
      reading_.fail("not an Ardour session: its root element is " + root_);
  }

 private:
  ProjectReading& reading_;
  std::size_t depth_ = 0;
  bool ours_ = false;
  std::string root_;
  std::vector<Pending> pending_;
};

}  // namespace

void readArdour(std::istream& in, ProjectReading& reading) {
  xml::StreamSource source(in);
  Session session(reading);
  xml::read(source, session, reading);
  session.checkRoot();
}

}  // namespace vernatto::daw
