// Hands every input to each of the nine project readers. None may crash,
// hang or read outside the input (the sanitizers watch), and each keeps its
// promises: a reading is incomplete exactly when it says why, in one line,
// and what it found is in the references' normal shape.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "daw/readers.h"

namespace {

using vernatto::daw::ProjectReading;
using vernatto::daw::Reference;

void check(bool promise) {
  if (!promise)
    std::abort();
}

bool isTrimmed(std::string_view text) {
  constexpr std::string_view kSpace = " \t\r\n\v\f";
  return text.empty() || (kSpace.find(text.front()) == std::string_view::npos &&
                          kSpace.find(text.back()) == std::string_view::npos);
}

void checkReference(const Reference& reference) {
  constexpr std::string_view kTechnologies[] = {"VST2", "VST3",   "AU",   "AAX", "CLAP",
                                                "LV2",  "LADSPA", "DSSI", "JS"};
  bool known = false;
  for (const std::string_view technology : kTechnologies)
    known = known || reference.technology == technology;
  check(known);
  for (const std::string* text : {&reference.vendor, &reference.name, &reference.id,
                                  &reference.file, &reference.version})
    check(isTrimmed(*text));
}

void fuzz(void (*reader)(std::istream&, ProjectReading&), const std::string& bytes) {
  std::istringstream in(bytes);
  ProjectReading reading;
  reader(in, reading);
  check(reading.complete == reading.problem.empty());
  check(reading.problem.find('\n') == std::string::npos);
  for (const Reference& reference : reading.references.inOrderAdded())
    checkReference(reference);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  namespace daw = vernatto::daw;
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const auto reader : {daw::readReaper, daw::readLive, daw::readDawproject,
                            daw::readArdour, daw::readCarla, daw::readLmms,
                            daw::readStudioOne, daw::readCubase, daw::readProToolsText})
    fuzz(reader, bytes);
  return 0;
}
