#include <istream>
#include <vector>

#include "daw/carla.h"
#include "daw/inflate.h"
#include "daw/readers.h"
#include "daw/stored_text.h"
#include "daw/xml.h"

namespace vernatto::daw {
namespace {

// An effect or instrument being read: what LMMS calls it, and what its key
// and settings say about the plug-in behind it.
struct Unit {
  std::size_t depth;
  std::string kind;
  std::string file;    // key "file": a LADSPA library or a VST path
  std::string label;   // key "plugin": a LADSPA plug-in's label
  std::string uri;     // key "uri": an LV2 plug-in
  std::string plugin;  // a VST path, as VeSTige and the VST effect save it
};

// LMMS's own instruments and effects are no plug-ins; Carla's rack and
// patchbay are read through the project they embed.
Reference referenceOf(const Unit& unit) {
  Reference r;
  if (unit.kind == "ladspaeffect") {
    r.technology = "LADSPA";
    r.name = unit.label;
    r.file = fileOfPath(unit.file);
  } else if (unit.kind == "lv2effect" || unit.kind == "lv2instrument") {
    r.technology = "LV2";
    r.id = unit.uri;
  } else if (unit.kind == "vsteffect" || unit.kind == "vestige") {
    const std::string path = unit.plugin.empty() ? unit.file : unit.plugin;
    if (!path.empty()) {
      r.technology = "VST2";
      r.file = fileOfPath(path);
      r.name = withoutExtension(r.file);
    }
  }
  return r;
}

class LmmsProject : public xml::Handler {
 public:
  explicit LmmsProject(ProjectReading& reading) : reading_(reading) {}

  void startElement(std::string_view name, const xml::Attributes& attributes) override {
    if (++depth_ == 1) {
      appendCapped(root_, name, 64);
      // Before LMMS 1.0 the root was multimedia-project.
      ours_ = name == "lmms-project" || name == "multimedia-project";
    }
    if (!ours_)
      return;
    if (carla_ == nullptr && name == "CARLA-PROJECT") {
      carla_ = carlaProjectHandler(reading_);
      carlaDepth_ = depth_;
    }
    if (carla_ != nullptr) {
      carla_->startElement(name, attributes);
      return;
    }
    if (name == "effect" || name == "instrument") {
      units_.push_back({depth_, std::string(attributes["name"]), {}, {}, {}, {}});
    } else if (!units_.empty()) {
      Unit& unit = units_.back();
      if (name == "attribute" && inKey_) {
        const std::string_view key = attributes["name"];
        std::string* field = key == "file"     ? &unit.file
                             : key == "plugin" ? &unit.label
                             : key == "uri"    ? &unit.uri
                                               : nullptr;
        if (field != nullptr)
          appendCapped(*field, attributes["value"]);
      } else if (name == "key") {
        inKey_ = true;
      } else if (name == "vestige" || name == "vsteffectcontrols") {
        appendCapped(unit.plugin, attributes["plugin"]);
      }
    }
  }

  void endElement(std::string_view name) override {
    if (carla_ != nullptr) {
      carla_->endElement(name);
      if (depth_ == carlaDepth_)
        carla_.reset();
    } else if (ours_ && !units_.empty()) {
      if (units_.back().depth == depth_) {
        Reference r = referenceOf(units_.back());
        if (!r.technology.empty())
          reading_.add(std::move(r));
        units_.pop_back();
      } else if (name == "key") {
        inKey_ = false;
      }
    }
    --depth_;
  }

  void text(std::string_view piece) override {
    if (carla_ != nullptr)
      carla_->text(piece);
  }

  void checkRoot() {
    if (!root_.empty() && !ours_)
      reading_.fail("not an LMMS project: its root element is " + root_);
  }

 private:
  ProjectReading& reading_;
  std::size_t depth_ = 0;
  bool ours_ = false;
  std::string root_;
  std::vector<Unit> units_;
  bool inKey_ = false;
  std::unique_ptr<xml::Handler> carla_;
  std::size_t carlaDepth_ = 0;
};

// A compressed project: its length as 4 bytes, big-endian, then a zlib
// stream (CMF 8 for deflate, its check bits a multiple of 31).
bool isCompressed(std::string_view start) {
  if (start.size() < 6)
    return false;
  const unsigned cmf = static_cast<unsigned char>(start[4]);
  const unsigned flg = static_cast<unsigned char>(start[5]);
  return (cmf & 0x0F) == 8 && (cmf * 256 + flg) % 31 == 0;
}

}  // namespace

void readLmms(std::istream& in, ProjectReading& reading) {
  xml::StreamSource source(in);
  LmmsProject project(reading);
  if (isCompressed(source.start(6))) {
    // The stored length only sizes a buffer for LMMS; the stream has its
    // own end and check.
    char length[4];
    source.read(length, sizeof length);
    InflatingSource inflated(source, Wrapping::zlib);
    xml::read(inflated, project, reading);
  } else {
    xml::read(source, project, reading);
  }
  project.checkRoot();
}

}  // namespace vernatto::daw
