// What tells this build of the program from any other, for keying its derived-data cache.
#pragma once

#include <string>

namespace korvan {

// The version and, where the linker stamped one, the executable's build id (it changes with any
// change of the code); the version alone elsewhere.
std::string programIdentity();

} // namespace korvan
