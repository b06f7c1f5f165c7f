// The version resource of a Windows binary, once its bytes are found.
#pragma once

#include <string>

#include "scan/pe.h"

namespace vernatto::scan {

// Parses the VS_VERSIONINFO block in `bytes` into `version`. Returns false
// when `bytes` does not start with a readable VS_VERSION_INFO block; a
// broken part further in is skipped, keeping what came before it.
bool parseVersionInfo(const std::string& bytes, PeVersion& version);

}  // namespace vernatto::scan
