// Where the program's own loadable libraries lie: relative to the folder of
// the running program, so a build tree and an installed tree both work.
#pragma once

#include <string>

namespace velmora {

// relative ("../lib/velmora/...") from the running program's folder.
std::string BesideProgram(const char* relative);

}  // namespace velmora
