#include <istream>
#include <limits>

#include "daw/readers.h"
#include "daw/zip.h"

namespace vernatto::daw {
namespace {

// The plug-ins of project.xml: not read yet, only held to the archive's
// sizes and check sums.
void readProjectXml(std::istream& in, ProjectReading& /*reading*/) {
  in.ignore(std::numeric_limits<std::streamsize>::max());
}

}  // namespace

// A DAWproject is a zip holding project.xml; hosts and people also hand
// over the bare project.xml, read the same.
void readDawproject(std::istream& in, ProjectReading& reading) {
  if (!looksLikeZip(in))
    return readProjectXml(in, reading);
  ZipArchive zip(in);
  if (!zip.isOpen())
    return reading.fail(zip.problem());
  const auto member = zip.open("project.xml", reading);
  if (!member)
    return reading.fail("the archive holds no project.xml");
  readProjectXml(*member, reading);
}

}  // namespace vernatto::daw
