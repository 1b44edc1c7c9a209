#include "services/test_hooks.h"

#include <cstdlib>

namespace velmora {

const char* TestHook([[maybe_unused]] const char* name) {
#ifdef VELMORA_TEST_HOOKS
  return std::getenv(name);
#else
  return nullptr;
#endif
}

}  // namespace velmora
