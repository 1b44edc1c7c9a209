#include "engine/beside_program.h"

#include <unistd.h>

#include <array>

namespace velmora {

// bin/, tests/ and bench/ are siblings of lib/, in the build as installed.
std::string BesideProgram(const char* relative) {
  std::array<char, 4096> buffer{};
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  std::string folder = n > 0 ? std::string(buffer.data(), static_cast<std::size_t>(n)) : "";
  const std::size_t slash = folder.rfind('/');
  folder.resize(slash == std::string::npos ? 0 : slash);
  return folder + "/" + relative;
}

}  // namespace velmora
