#include "engine/batch_run_state.h"

namespace velmora {

void ResetRunFlags(RunState& state) {
  state.context.kind = RunKind::kNone;
  state.deleteAll = false;
}

}  // namespace velmora
