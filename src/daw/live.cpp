#include <array>
#include <istream>
#include <optional>
#include <utility>
#include <vector>

#include "daw/inflate.h"
#include "daw/readers.h"
#include "daw/stored_text.h"
#include "daw/xml.h"
#include "inventory/plugin_id.h"

namespace vernatto::daw {
namespace {

enum class Info { none, vst2, vst3, audioUnit };

Info infoOf(std::string_view element) {
  if (element == "VstPluginInfo")
    return Info::vst2;
  if (element == "Vst3PluginInfo")
    return Info::vst3;
  if (element == "AuPluginInfo")
    return Info::audioUnit;
  return Info::none;
}

std::uint32_t word(std::int64_t value) {
  return static_cast<std::uint32_t>(static_cast<std::uint64_t>(value));
}

// A plug-in device being read. Depths are of open elements, 0 when closed.
struct Device {
  std::size_t depth = 0;
  std::size_t sourceContext = 0;
  std::size_t desc = 0;
  std::size_t info = 0;
  std::size_t uid = 0;
  Info kind = Info::none;
  std::string browserPath;
  // The info element's own children: name and Value.
  std::vector<std::pair<std::string, std::string>> values;
  std::array<std::optional<std::int64_t>, 4> uidFields;

  std::string value(std::string_view name) const {
    for (const auto& [key, text] : values) {
      if (key == name)
        return text;
    }
    return {};
  }
};

// "query:Plugins#VST3:Vendor:Name", URL-encoded; nothing for other forms.
std::string vendorOfBrowserPath(std::string_view path) {
  constexpr std::string_view kPrefix = "query:Plugins#VST3:";
  if (path.substr(0, kPrefix.size()) != kPrefix)
    return {};
  path.remove_prefix(kPrefix.size());
  const std::size_t colon = path.find(':');
  return colon == std::string_view::npos ? std::string()
                                         : urlDecoded(path.substr(0, colon));
}

Reference referenceOf(const Device& d) {
  Reference r;
  if (d.kind == Info::vst2) {
    r.technology = "VST2";
    r.name = d.value("PlugName");
    if (const auto id = integerOf(d.value("UniqueId")))
      r.id = inventory::vst2Id(*id);
    const std::string path = d.value("Path");
    r.file = fileOfPath(path.empty() ? d.value("FileName") : path);
  } else if (d.kind == Info::vst3) {
    r.technology = "VST3";
    r.name = d.value("Name");
    r.vendor = vendorOfBrowserPath(d.browserPath);
    const auto& f = d.uidFields;
    if (f[0] && f[1] && f[2] && f[3])
      r.id = inventory::vst3Id(word(*f[0]), word(*f[1]), word(*f[2]), word(*f[3]));
  } else {
    r.technology = "AU";
    r.name = d.value("Name");
    r.vendor = d.value("Manufacturer");
    const auto type = integerOf(d.value("ComponentType"));
    const auto subtype = integerOf(d.value("ComponentSubType"));
    const auto maker = integerOf(d.value("ComponentManufacturer"));
    if (type && subtype && maker)
      r.id = inventory::audioUnitId(word(*type), word(*subtype), word(*maker));
  }
  return r;
}

// Plug-in devices sit anywhere (tracks, racks, drum racks, nested racks);
// each describes its plug-in in PluginDesc's one info element. Presets
// nested inside that element carry names and ids of their own, so only
// the info element's own children count.
class LiveSet : public xml::Handler {
 public:
  explicit LiveSet(ProjectReading& reading) : reading_(reading) {}

  void startElement(std::string_view name, const xml::Attributes& attributes) override {
    if (++depth_ == 1) {
      appendCapped(root_, name, 64);
      ours_ = name == "Ableton";
    }
    if (!ours_)
      return;
    if (name == "PluginDevice" || name == "AuPluginDevice") {
      devices_.emplace_back().depth = depth_;
      return;
    }
    if (devices_.empty())
      return;
    Device& d = devices_.back();
    if (depth_ == d.depth + 1 && name == "SourceContext")
      d.sourceContext = depth_;
    else if (d.sourceContext != 0 && name == "BrowserContentPath" &&
             d.browserPath.empty())
      appendCapped(d.browserPath, attributes["Value"]);
    else if (depth_ == d.depth + 1 && name == "PluginDesc")
      d.desc = depth_;
    else if (d.desc != 0 && depth_ == d.desc + 1 && d.kind == Info::none)
      d.info = (d.kind = infoOf(name)) == Info::none ? 0 : depth_;
    else if (d.info != 0 && depth_ == d.info + 1)
      startInfoChild(d, name, attributes["Value"]);
    else if (d.uid != 0 && depth_ == d.uid + 1 && name.substr(0, 7) == "Fields." &&
             name.size() == 8 && name[7] >= '0' && name[7] <= '3')
      d.uidFields[static_cast<std::size_t>(name[7] - '0')] =
          integerOf(attributes["Value"]);
  }

  void endElement(std::string_view /*name*/) override {
    if (ours_ && !devices_.empty()) {
      Device& d = devices_.back();
      if (depth_ == d.depth) {
        if (d.kind != Info::none)
          reading_.add(referenceOf(d));
        devices_.pop_back();
      } else {
        for (std::size_t* open : {&d.sourceContext, &d.desc, &d.info, &d.uid}) {
          if (*open == depth_)
            *open = 0;
        }
      }
    }
    --depth_;
  }

  void checkRoot() {
    if (!root_.empty() && !ours_)
      reading_.fail("not a Live set: its root element is " + root_);
  }

 private:
  static void startInfoChild(Device& d, std::string_view name, std::string_view value) {
    if (name == "Uid")
      d.uid = d.info + 1;
    else if (d.values.size() < 64)
      d.values.emplace_back(name, std::string(value.substr(0, 4096)));
  }

  ProjectReading& reading_;
  std::size_t depth_ = 0;
  bool ours_ = false;
  std::string root_;
  std::vector<Device> devices_;
};

}  // namespace

void readLive(std::istream& in, ProjectReading& reading) {
  xml::StreamSource source(in);
  LiveSet set(reading);
  if (source.start(2) == "\x1f\x8b") {
    InflatingSource inflated(source, Wrapping::gzip);
    xml::read(inflated, set, reading);
  } else {
    xml::read(source, set, reading);
  }
  set.checkRoot();
}

}  // namespace vernatto::daw
