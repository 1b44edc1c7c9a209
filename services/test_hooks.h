// Switches that tests and benchmarks set in the environment: a signal or a
// kill at a fixed point, a run without its journal. Only a build configured
// with VELMORA_TEST_HOOKS reads them; elsewhere they are never set.
#pragma once

namespace velmora {

// The environment variable name in a build with test hooks; nullptr
// otherwise.
const char* TestHook(const char* name);

}  // namespace velmora
