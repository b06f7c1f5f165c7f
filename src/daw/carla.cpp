#include "daw/carla.h"

#include <array>
#include <istream>

#include "daw/readers.h"
#include "daw/stored_text.h"
#include "inventory/plugin_id.h"

namespace vernatto::daw {
namespace {

// Rack and patchbay plug-ins keep whole projects in their state, which may
// hold racks in turn: deep enough for any real project, and a bound for a
// hostile one.
constexpr int kMaxEmbedding = 16;

enum Field : std::size_t {
  kType,
  kName,
  kBinary,
  kBundle,
  kUniqueId,
  kUri,
  kIdentifier,
  kNone
};
using Fields = std::array<std::string, kNone>;

Field fieldOf(std::string_view element) {
  constexpr std::array<std::string_view, kNone> kNames = {
      "Type", "Name", "Binary", "Bundle", "UniqueID", "URI", "Identifier"};
  for (std::size_t i = 0; i < kNames.size(); ++i) {
    if (element == kNames[i])
      return static_cast<Field>(i);
  }
  return kNone;
}

// The reference one plug-in's Info stands for; an empty technology for what
// is not a plug-in (Carla's own, sound fonts, sample sets, JSFX, JACK
// clients) and for types this reader does not know.
Reference referenceOf(const Fields& f) {
  Reference r;
  const std::string_view type = f[kType];
  r.name = f[kName];
  r.file = fileOfPath(f[kBinary]);
  if (type == "LADSPA" || type == "DSSI") {
    r.technology = std::string(type);
    r.id = decimalId(f[kUniqueId]);
  } else if (type == "LV2") {
    r.technology = "LV2";
    r.id = f[kUri];
  } else if (type == "VST2" || type == "VST") {
    r.technology = "VST2";
    if (const auto id = integerOf(f[kUniqueId]))
      r.id = inventory::vst2Id(*id);
  } else if (type == "VST3") {
    r.technology = "VST3";  // Carla stores no class id
  } else if (type == "AU") {
    r.technology = "AU";  // nor the three codes, in a form of its own
    r.file = fileOfPath(f[kBundle]);
  } else if (type == "CLAP") {
    r.technology = "CLAP";
    r.id = f[kIdentifier];
  }
  return r;
}

class CarlaProject : public xml::Handler {
 public:
  CarlaProject(ProjectReading& reading, int level) : reading_(reading), level_(level) {}

  bool sawProject() const { return ours_; }
  const std::string& root() const { return root_; }

  void startElement(std::string_view name,
                    const xml::Attributes& /*attributes*/) override {
    if (++depth_ == 1) {
      appendCapped(root_, name, 64);
      ours_ = name == "CARLA-PROJECT";
    }
    if (!ours_)
      return;
    if (depth_ == 2 && name == "Plugin") {
      plugin_ = true;
    } else if (plugin_ && depth_ == 3 && name == "Info") {
      info_ = true;
      fields_ = Fields();
    } else if (info_ && depth_ == 4) {
      field_ = fieldOf(name);
    } else if (plugin_ && name == "CustomData") {
      customData_ = depth_;
    } else if (customData_ != 0 && depth_ == customData_ + 1 && name == "Value") {
      value_ = depth_;
      embed_ = Embed::pending;
    }
  }

  void endElement(std::string_view /*name*/) override {
    if (ours_) {
      if (depth_ == 2) {
        plugin_ = false;
      } else if (info_ && depth_ == 3) {
        info_ = false;
        Reference r = referenceOf(fields_);
        if (!r.technology.empty())
          reading_.add(std::move(r));
      } else if (depth_ == 4) {
        field_ = kNone;
      }
      if (depth_ == value_) {
        if (embed_ == Embed::feeding)
          endEmbedded(parser_->finish());
        value_ = 0;
        embed_ = Embed::none;
      }
      if (depth_ == customData_)
        customData_ = 0;
    }
    --depth_;
  }

  void text(std::string_view piece) override {
    if (field_ != kNone)
      appendCapped(fields_[field_], piece);
    else if (value_ != 0 && depth_ == value_)
      embeddedText(piece);
  }

 private:
  enum class Embed { none, pending, feeding, ignored };

  // A state value that begins with markup is taken for an embedded
  // project and parsed as it streams by; one that proves not to be a Carla
  // project is ignored, one cut off or damaged makes the reading incomplete.
  void embeddedText(std::string_view piece) {
    if (embed_ == Embed::pending) {
      const std::size_t first = piece.find_first_not_of(" \t\r\n");
      if (first == std::string_view::npos)
        return;
      if (piece[first] != '<') {
        embed_ = Embed::ignored;
        return;
      }
      if (level_ >= kMaxEmbedding) {
        reading_.fail("Carla projects embedded more than " +
                      std::to_string(kMaxEmbedding) + " deep");
        embed_ = Embed::ignored;
        return;
      }
      inner_ = std::make_unique<CarlaProject>(reading_, level_ + 1);
      parser_ = std::make_unique<xml::Parser>(*inner_);
      embed_ = Embed::feeding;
      piece.remove_prefix(first);
    }
    if (embed_ == Embed::feeding && !parser_->feed(piece))
      endEmbedded(false);
  }

  void endEmbedded(bool whole) {
    if (!whole && inner_->sawProject())
      reading_.fail("in a Carla project embedded in a plug-in's state: " +
                    parser_->problem());
    parser_.reset();
    inner_.reset();
    embed_ = Embed::ignored;
  }

  ProjectReading& reading_;
  int level_;
  std::size_t depth_ = 0;
  bool ours_ = false;
  std::string root_;
  bool plugin_ = false;
  bool info_ = false;
  Field field_ = kNone;
  Fields fields_;
  std::size_t customData_ = 0;
  std::size_t value_ = 0;
  Embed embed_ = Embed::none;
  std::unique_ptr<CarlaProject> inner_;
  std::unique_ptr<xml::Parser> parser_;
};

}  // namespace

std::unique_ptr<xml::Handler> carlaProjectHandler(ProjectReading& reading) {
  return std::make_unique<CarlaProject>(reading, 0);
}

void readCarla(std::istream& in, ProjectReading& reading) {
  xml::StreamSource source(in);
  CarlaProject project(reading, 0);
  xml::read(source, project, reading);
  if (!project.root().empty() && !project.sawProject())
    reading.fail("not a Carla project: its root element is " + project.root());
}

}  // namespace vernatto::daw
