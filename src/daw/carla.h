// Carla projects, which other hosts embed: LMMS keeps one as elements
// inside its Carla instruments and effects.
#pragma once

#include <memory>

#include "daw/reference.h"
#include "daw/xml.h"

namespace vernatto::daw {

// A handler that adds to `reading` the plug-ins of the Carla project whose
// elements it is given (from its CARLA-PROJECT element on), the projects
// embedded in its plug-ins' states included.
std::unique_ptr<xml::Handler> carlaProjectHandler(ProjectReading& reading);

}  // namespace vernatto::daw
