// The project-file readers, one small file per host's format. Each reads
// `in` from its start, adds the plug-ins it finds to `reading` as it goes,
// and marks the reading incomplete, saying what went wrong and where, when
// the file is cut off, damaged or not of its format; what came before the
// fault is kept. None touches the file system, so that the tests and the
// fuzzer hand them memory.
#pragma once

#include <iosfwd>

#include "daw/reference.h"

namespace vernatto::daw {

void readReaper(std::istream& in, ProjectReading& reading);      // .rpp
void readLive(std::istream& in, ProjectReading& reading);        // .als
void readDawproject(std::istream& in, ProjectReading& reading);  // .dawproject
void readArdour(std::istream& in, ProjectReading& reading);      // .ardour
void readCarla(std::istream& in, ProjectReading& reading);       // .carxp
void readLmms(std::istream& in, ProjectReading& reading);        // .mmp, .mmpz
void readStudioOne(std::istream& in, ProjectReading& reading);   // .song
void readCubase(std::istream& in, ProjectReading& reading);      // .cpr, .npr
// The plug-in listing of a session exported as text.
void readProToolsText(std::istream& in, ProjectReading& reading);

}  // namespace vernatto::daw
