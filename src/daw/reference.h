// What a project needs: one reference per plug-in it uses, gathered by the
// project-file readers.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vernatto::daw {

// One plug-in a project uses.
struct Reference {
  std::string technology;  // VST2, VST3, AU, AAX, CLAP, LV2, LADSPA, DSSI or JS
  std::string vendor;      // as the project stores them, trimmed; empty when none
  std::string name;
  std::string id;       // in the normal form of inventory/plugin_id.h, or empty
  std::string file;     // the last component of a stored path, or empty
  std::string version;  // a version the project saved as text, or empty
  std::uint64_t instances = 1;
  bool host = false;  // comes with the host, never installed apart from it
};

// The references of one project. Instances of one plug-in (the same
// technology and id or, when the id is empty, the same technology, vendor,
// name and file) are one reference, whose texts are the first instance's.
class ReferenceList {
 public:
  // At most this many different plug-ins: a hostile file cannot make the
  // list grow without end.
  static constexpr std::size_t kMost = 10000;

  // Adds `reference` (its `instances` uses) with its texts trimmed of white
  // space at both ends. Returns false, adding nothing, for a plug-in not
  // listed yet when the list holds kMost.
  bool add(Reference reference);

  std::size_t size() const { return references_.size(); }
  // In the order the first instances were added.
  const std::vector<Reference>& inOrderAdded() const { return references_; }
  // The references in reference order (see referenceLess).
  std::vector<Reference> sorted() const;

 private:
  std::vector<Reference> references_;
  std::unordered_map<std::string, std::size_t> indexOf_;  // by merge key
};

// The reference order: as the other programs order plug-ins (vendor, name,
// technology without ASCII case, then their exact bytes), then by id, then
// by file.
bool referenceLess(const Reference& a, const Reference& b);

// How reading one project went. Readers add what they find to `references`
// as they go, so that a file damaged part way keeps what came before.
struct ProjectReading {
  ReferenceList references;
  bool complete = true;
  std::string problem;  // when not complete: one line, what and where

  // Adds `reference` to the references; a plug-in beyond the most a list
  // holds fails the reading.
  void add(Reference reference);
  // Marks the reading incomplete, keeping the first problem found.
  void fail(std::string why);
};

}  // namespace vernatto::daw
